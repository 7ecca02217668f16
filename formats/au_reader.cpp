// The AU reader: a 24-byte big-endian header (".snd", data offset, data
// size, encoding, rate, channels), anything up to the data offset (a
// description), then the samples.

#include <cstdint>
#include <cstring>
#include <memory>

#include "core/silence_source.h"
#include "formats/formats.h"
#include "formats/pcm_source.h"

namespace {

constexpr uint32_t kHeaderBytes = 24;
constexpr uint32_t kMaxSampleRate = 196000;
constexpr uint32_t kMaxChannels = 255;
// A data size left this way was not known when the file was written: the
// samples run to the end of the file.
constexpr uint32_t kSizeUnknown = 0xFFFFFFFF;

// The encodings that are plain samples; the others (ADPCM, floating point,
// wider integers) are left to codecs this reader does not have.
bool encodingOf(uint32_t auEncoding, SampleEncoding& encoding) {
  switch (auEncoding) {
    case 1: encoding = SampleEncoding::MuLaw; return true;
    case 2: encoding = SampleEncoding::Signed8; return true;
    case 3: encoding = SampleEncoding::Int16BE; return true;
    case 27: encoding = SampleEncoding::ALaw; return true;
    default: return false;
  }
}

}  // namespace

SampleSourceRef openAuSource(std::unique_ptr<ByteSource> bytes) {
  if (!bytes) return makeSilenceSource(SourceStatus::CannotOpen);
  uint8_t header[kHeaderBytes];
  if (!bytes->seek(0) || !bytes->readExact(header, sizeof header) || std::memcmp(header, ".snd", 4) != 0)
    return makeSilenceSource(SourceStatus::Corrupt);
  const uint32_t dataOffset = be32(header + 4);
  const uint32_t dataSize = be32(header + 8);
  const uint32_t auEncoding = be32(header + 12);
  const uint32_t sampleRate = be32(header + 16);
  const uint32_t channels = be32(header + 20);

  const int64_t fileBytes = bytes->size();
  if (dataOffset < kHeaderBytes || dataOffset > fileBytes) return makeSilenceSource(SourceStatus::Corrupt);
  if (channels < 1 || channels > kMaxChannels || sampleRate < 1 || sampleRate > kMaxSampleRate)
    return makeSilenceSource(SourceStatus::Corrupt);
  SampleEncoding encoding;
  if (!encodingOf(auEncoding, encoding)) return makeSilenceSource(SourceStatus::CodecMissing);

  // A size beyond what the file holds is kept to it by the source.
  const uint64_t dataBytes =
      dataSize == kSizeUnknown ? static_cast<uint64_t>(fileBytes - dataOffset) : dataSize;
  return makeRef<PcmSource>(std::move(bytes), dataOffset, dataBytes, static_cast<int32_t>(sampleRate),
                            static_cast<int>(channels), encoding);
}
