// The AIFF writer: a 54-byte big-endian header and 16-bit big-endian samples.
//
// While the file is being written its sizes say "unknown" (0xFFFFFFFF) and
// the frame count 0, so that a recording cut short still opens, up to the end
// of the file. commit() puts the final sizes in.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "formats/file_sink.h"
#include "formats/formats.h"

namespace {

constexpr uint32_t kHeaderBytes = 54;
constexpr uint32_t kSizeUnknown = 0xFFFFFFFF;
// The form size counts everything after its own field: "AIFF", the COMM
// chunk (8 + 18) and the SSND chunk header with its offset and block size
// words (8 + 8).
constexpr uint32_t kFormOverhead = 46;
constexpr uint32_t kSoundOverhead = 8;
// The largest form size that is neither wrapped nor the "unknown" marker.
constexpr uint64_t kMaxFormBytes = 0xFFFFFFFE;

// A positive whole rate as an 80-bit IEEE extended number: exponent biased by
// 16,383, then a 64-bit mantissa whose top bit is the integer bit.
void storeExtendedRate(uint8_t* p, int32_t rate) {
  for (int i = 0; i < 10; ++i) p[i] = 0;
  if (rate <= 0) return;
  int highBit = 31;
  while (!(static_cast<uint32_t>(rate) & (1u << highBit))) --highBit;
  storeBe16(p, 16383 + highBit);
  storeBe32(p + 2, static_cast<uint32_t>(rate) << (31 - highBit));
}

class AiffSink final : public FileSink {
 public:
  AiffSink(const std::string& path, int32_t sampleRate, int channels)
      : FileSink(sampleRate, channels) {
    if (!good()) return;
    if (!openOutput(path, sys::Disposition::CreateAlways)) return;
    uint8_t header[kHeaderBytes];
    fillHeader(header, kSizeUnknown, 0, kSizeUnknown);
    writeBytes(header, sizeof header);
  }
  ~AiffSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (!good() || !m_file.isOpen() || frames <= 0) return;
    const uint64_t dataBytes = (static_cast<uint64_t>(position()) + static_cast<uint64_t>(frames)) *
                               frameBytes();
    // Refused rather than written: the sizes of the header must not wrap.
    if (dataBytes + kFormOverhead > kMaxFormBytes) {
      refuseAsFull();
      return;
    }
    writeEncoded(SampleEncoding::Int16BE, buffer, frames);
  }

 protected:
  // The header goes straight to the file, so that a sink that failed (a
  // refused write, a full disk) still leaves a file that describes what it
  // holds; after a short write that is less than the frames counted.
  void commit() override {
    if (!m_file.isOpen()) return;
    const int64_t framesHeld = std::max<int64_t>(0, m_file.size() - kHeaderBytes) / frameBytes();
    const auto frames = static_cast<uint32_t>(std::min<int64_t>(position(), framesHeld));
    const uint32_t dataBytes = frames * frameBytes();
    uint8_t header[kHeaderBytes];
    fillHeader(header, dataBytes + kFormOverhead, frames, dataBytes + kSoundOverhead);
    rewriteAt(0, header, sizeof header);
    m_file.close();
  }

 private:
  uint32_t frameBytes() const { return 2u * channels(); }

  void fillHeader(uint8_t* header, uint32_t formBytes, uint32_t frames, uint32_t soundBytes) const {
    std::memcpy(header, "FORM", 4);
    storeBe32(header + 4, formBytes);
    std::memcpy(header + 8, "AIFFCOMM", 8);
    storeBe32(header + 16, 18);
    storeBe16(header + 20, channels());
    storeBe32(header + 22, frames);
    storeBe16(header + 26, 16);
    storeExtendedRate(header + 28, sampleRate());
    std::memcpy(header + 38, "SSND", 4);
    storeBe32(header + 42, soundBytes);
    storeBe32(header + 46, 0);  // offset of the first frame
    storeBe32(header + 50, 0);  // block size: no alignment
  }
};

}  // namespace

SampleSinkRef makeAiffSink(const std::string& path, int32_t sampleRate, int channels) {
  return makeRef<AiffSink>(path, sampleRate, channels);
}
