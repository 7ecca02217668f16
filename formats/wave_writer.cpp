// The WAVE PCM writer: a 46-byte header, then the samples. The sizes stay
// 0xFFFFFFFF while the file is written and are filled in on close.

#include "formats/file_sink.h"
#include "formats/formats.h"
#include "formats/wave_format.h"

#include <algorithm>
#include <vector>

namespace {

// The full 18-byte record (with an extra-bytes count of 0) in a 46-byte header.
constexpr int64_t kWaveHeaderBytes = waveFileHeaderBytes(wave_record::kFullBytes);
// Every size in the header is 32-bit: RIFF size = data bytes + 38.
constexpr int64_t kMaxWaveDataBytes = 0xFFFFFFFFLL - (kWaveHeaderBytes - 8);

SampleEncoding encodingForWidth(int widthBytes) {
  switch (widthBytes) {
    case 1: return SampleEncoding::Unsigned8;
    case 3: return SampleEncoding::Int24LE;
    case 4: return SampleEncoding::Int32LE;
    default: return SampleEncoding::Int16LE;
  }
}

class WavePcmSink final : public FileSink {
 public:
  WavePcmSink(const std::string& path, int32_t sampleRate, int channels, int widthBytes, int32_t startFrame)
      : FileSink(sampleRate, channels),
        m_encoding(encodingForWidth(widthBytes)),
        m_blockAlign(this->channels() * bytesPerSample(m_encoding)) {
    if (!good()) return;
    // The file is opened without truncation so that a recording can go on
    // where it stopped; what lies past the new data is cut off on close.
    if (!openOutput(path, sys::Disposition::OpenAlways, sys::Share::ReadWrite)) return;
    int32_t start = std::max(startFrame, 0);
    writeHeader(0xFFFFFFFFu);
    if (start > 0) {
      int64_t offset = std::min(kWaveHeaderBytes + static_cast<int64_t>(start) * m_blockAlign, m_file.size());
      seekTo(offset);
      setPosition(static_cast<int32_t>((offset - kWaveHeaderBytes) / m_blockAlign));
      if (!m_file.truncateHere()) fail();
    }
  }
  ~WavePcmSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (frames <= 0 || closed()) return;
    if ((static_cast<int64_t>(position()) + frames) * m_blockAlign > kMaxWaveDataBytes) {
      refuseAsFull();  // the header could not describe the file
      return;
    }
    writeEncoded(m_encoding, buffer, frames);
  }

  void seek(int32_t frame) override {
    if (closed() || !good()) return;
    frame = std::max(frame, 0);
    if (frame > position()) return;  // only backwards
    setPosition(frame);
    if (seekTo(kWaveHeaderBytes + static_cast<int64_t>(frame) * m_blockAlign) && !m_file.truncateHere()) fail();
  }

 protected:
  void commit() override {
    if (!m_file.isOpen()) return;
    // After a refused or short write the header describes what the file
    // holds, so that everything recorded before stays readable.
    const int64_t held = std::max<int64_t>(0, m_file.size() - kWaveHeaderBytes) / m_blockAlign;
    const int64_t dataBytes = std::min<int64_t>(position(), held) * m_blockAlign;
    // Anything of an older, longer file after the new data goes.
    if (!m_file.seek(kWaveHeaderBytes + dataBytes) || !m_file.truncateHere()) fail();
    const std::vector<uint8_t> header = headerFor(static_cast<uint32_t>(dataBytes));
    rewriteAt(0, header.data(), header.size());
    m_file.close();
  }

 private:
  // 0xFFFFFFFF while the samples are still being written.
  void writeHeader(uint32_t dataBytes) {
    const std::vector<uint8_t> header = headerFor(dataBytes);
    writeBytes(header.data(), header.size());
  }
  std::vector<uint8_t> headerFor(uint32_t dataBytes) const {
    const std::vector<uint8_t> record =
        pcmWaveRecord(channels(), sampleRate(), bytesPerSample(m_encoding) * 8, wave_record::kFullBytes);
    return waveFileHeader(record, dataBytes);
  }

  SampleEncoding m_encoding;
  int m_blockAlign;
};

}  // namespace

SampleSinkRef makeWavePcmSink(const std::string& path, int32_t sampleRate, int channels, int widthBytes,
                              int32_t startFrame) {
  return makeRef<WavePcmSink>(path, sampleRate, channels, widthBytes, startFrame);
}
