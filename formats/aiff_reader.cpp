// The AIFF reader: "FORM"/"AIFF" files of uncompressed big-endian PCM.
//
// The chunks after the form header are walked once, in whatever order they
// come, collecting "COMM" (the format) and "SSND" (the samples). "AIFC" forms
// are accepted when their compression type is "NONE" (plain big-endian PCM);
// any other compression is reported as a missing codec.

#include <cstdint>
#include <cstring>
#include <memory>

#include "core/silence_source.h"
#include "formats/formats.h"
#include "formats/pcm_source.h"

namespace {

constexpr int32_t kMaxSampleRate = 196000;
constexpr int kMaxChannels = 255;
// An SSND size left this way means the recording was never closed: the
// samples run to the end of the file.
constexpr uint32_t kSizeUnknown = 0xFFFFFFFF;
// Channels (2), frames (4), bits (2) and the 10-byte extended rate.
constexpr uint32_t kCommBytes = 18;
// AIFC adds a four-character compression type after those.
constexpr uint32_t kAifcCommBytes = 22;

bool idIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// The sample rate of an 80-bit IEEE extended number (sign and 15-bit exponent
// biased by 16,383, then a 64-bit mantissa with an explicit integer bit).
// Only the top 32 bits of the mantissa are used; the value is rounded up
// when the last bit shifted out is 1. Returns 0 for what cannot be a rate
// (negative, fractional below 1, or too large for 32 bits).
int64_t rateFromExtended(const uint8_t* p) {
  const uint16_t signAndExponent = be16(p);
  if (signAndExponent & 0x8000) return 0;
  const uint32_t mantissaTop = be32(p + 2);
  // The value is mantissaTop * 2^(exponent - 16383 - 31).
  const int shift = 16383 + 31 - static_cast<int>(signAndExponent);
  if (shift < 0 || shift > 31) return 0;
  if (shift == 0) return mantissaTop;
  int64_t rate = mantissaTop >> shift;
  if ((mantissaTop >> (shift - 1)) & 1) ++rate;
  return rate;
}

struct AiffLayout {
  bool haveFormat = false;
  bool haveSound = false;
  int channels = 0;
  int bitsPerSample = 0;
  int64_t sampleRate = 0;
  bool compressed = false;
  int64_t dataStart = 0;
  uint64_t dataBytes = 0;
};

// Reads the format chunk whose body starts at the current position.
bool readFormat(ByteSource& bytes, uint32_t chunkBytes, bool aifc, AiffLayout& layout) {
  const uint32_t needed = aifc ? kAifcCommBytes : kCommBytes;
  if (chunkBytes < needed) return false;
  uint8_t comm[kAifcCommBytes];
  if (!bytes.readExact(comm, needed)) return false;
  layout.channels = be16(comm);
  layout.bitsPerSample = be16(comm + 6);
  layout.sampleRate = rateFromExtended(comm + 8);
  layout.compressed = aifc && !idIs(comm + 18, "NONE");
  layout.haveFormat = true;
  return true;
}

// Reads the offset word of the sound chunk whose body starts at the current
// position. The offset (where the first frame starts within the chunk's
// samples) is honoured; the block size is only an alignment hint.
bool readSound(ByteSource& bytes, int64_t bodyStart, uint32_t chunkBytes, AiffLayout& layout) {
  uint8_t words[8];
  if (!bytes.readExact(words, sizeof words)) return false;
  const uint32_t offset = be32(words);
  layout.dataStart = bodyStart + 8 + offset;
  if (chunkBytes == kSizeUnknown) {
    // PcmSource keeps this to what the file holds.
    layout.dataBytes = UINT64_MAX;
  } else {
    const uint64_t samplesBytes = chunkBytes >= 8 ? chunkBytes - 8u : 0u;
    layout.dataBytes = samplesBytes > offset ? samplesBytes - offset : 0;
  }
  layout.haveSound = true;
  return true;
}

SampleEncoding encodingForBits(int bits) {
  if (bits <= 8) return SampleEncoding::Signed8;
  if (bits <= 16) return SampleEncoding::Int16BE;
  if (bits <= 24) return SampleEncoding::Int24BE;
  return SampleEncoding::Int32BE;
}

}  // namespace

SampleSourceRef openAiffSource(std::unique_ptr<ByteSource> bytes) {
  if (!bytes) return makeSilenceSource(SourceStatus::CannotOpen);
  uint8_t header[12];
  if (!bytes->readExact(header, sizeof header) || !idIs(header, "FORM"))
    return makeSilenceSource(SourceStatus::Corrupt);
  const bool aifc = idIs(header + 8, "AIFC");
  if (!aifc && !idIs(header + 8, "AIFF")) return makeSilenceSource(SourceStatus::Corrupt);

  // Chunks are walked up to the end of the file, whatever the form size says:
  // an interrupted recording leaves that size unknown. Every step moves on by
  // at least a chunk header, so the walk ends.
  const int64_t fileBytes = bytes->size();
  AiffLayout layout;
  int64_t chunkStart = sizeof header;
  while (!(layout.haveFormat && layout.haveSound) && chunkStart + 8 <= fileBytes) {
    uint8_t chunkHeader[8];
    if (!bytes->seek(chunkStart) || !bytes->readExact(chunkHeader, sizeof chunkHeader)) break;
    const uint32_t chunkBytes = be32(chunkHeader + 4);
    const int64_t bodyStart = chunkStart + 8;
    if (idIs(chunkHeader, "COMM") && !layout.haveFormat) {
      if (!readFormat(*bytes, chunkBytes, aifc, layout)) return makeSilenceSource(SourceStatus::Corrupt);
    } else if (idIs(chunkHeader, "SSND") && !layout.haveSound) {
      if (!readSound(*bytes, bodyStart, chunkBytes, layout)) return makeSilenceSource(SourceStatus::Corrupt);
    }
    // Chunks are padded to an even length.
    chunkStart = bodyStart + chunkBytes + (chunkBytes & 1);
  }

  if (!layout.haveFormat || !layout.haveSound) return makeSilenceSource(SourceStatus::Corrupt);
  if (layout.channels < 1 || layout.channels > kMaxChannels) return makeSilenceSource(SourceStatus::Corrupt);
  if (layout.sampleRate < 1 || layout.sampleRate > kMaxSampleRate)
    return makeSilenceSource(SourceStatus::Corrupt);
  if (layout.bitsPerSample < 1 || layout.bitsPerSample > 32) return makeSilenceSource(SourceStatus::Corrupt);
  if (layout.compressed) return makeSilenceSource(SourceStatus::CodecMissing);

  return makeRef<PcmSource>(std::move(bytes), layout.dataStart, layout.dataBytes,
                            static_cast<int32_t>(layout.sampleRate), layout.channels,
                            encodingForBits(layout.bitsPerSample));
}
