// The AU writer: the 24-byte big-endian header and 16-bit big-endian samples.
//
// While the file is being written the data size says "unknown" (0xFFFFFFFF),
// which readers take as "to the end of the file", so a recording cut short
// still opens. commit() puts the final size in, unless the data has grown
// past what the 32-bit field can hold: then "unknown" stays, which is the
// format's own way of saying so.

#include <cstdint>
#include <cstring>

#include "formats/file_sink.h"
#include "formats/formats.h"

namespace {

constexpr uint32_t kHeaderBytes = 24;
constexpr uint32_t kSizeUnknown = 0xFFFFFFFF;
constexpr uint32_t kEncodingLinear16 = 3;
constexpr int kMaxChannels = 255;

class AuSink final : public FileSink {
 public:
  AuSink(const std::string& path, int32_t sampleRate, int channels) : FileSink(sampleRate, channels) {
    if (sampleRate <= 0 || channels < 1 || channels > kMaxChannels) fail();
    if (!good()) return;
    if (!openOutput(path, sys::Disposition::CreateAlways)) return;
    writeHeader(kSizeUnknown);
  }
  ~AuSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (!good() || !m_file.isOpen() || frames <= 0) return;
    writeEncoded(SampleEncoding::Int16BE, buffer, frames);
  }

 protected:
  void commit() override {
    if (!m_file.isOpen()) return;
    const uint64_t dataBytes = static_cast<uint64_t>(position()) * 2u * channels();
    // Frames are whole pairs of bytes, so a real size is never the odd
    // "unknown" marker itself.
    if (dataBytes < kSizeUnknown && seekTo(8)) {
      uint8_t size[4];
      storeBe32(size, static_cast<uint32_t>(dataBytes));
      writeBytes(size, sizeof size);
    }
    m_file.close();
  }

 private:
  void writeHeader(uint32_t dataBytes) {
    uint8_t header[kHeaderBytes];
    std::memcpy(header, ".snd", 4);
    storeBe32(header + 4, kHeaderBytes);
    storeBe32(header + 8, dataBytes);
    storeBe32(header + 12, kEncodingLinear16);
    storeBe32(header + 16, static_cast<uint32_t>(sampleRate()));
    storeBe32(header + 20, channels());
    writeBytes(header, sizeof header);
  }
};

}  // namespace

SampleSinkRef makeAuSink(const std::string& path, int32_t sampleRate, int channels) {
  return makeRef<AuSink>(path, sampleRate, channels);
}
