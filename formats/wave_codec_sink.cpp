// The WAVE writer for compressed formats: samples go to 16 bits, through the
// platform's codec, into a data chunk after the chosen format record.

#include <algorithm>
#include <cstring>

#include "formats/file_sink.h"
#include "formats/formats.h"
#include "formats/pcm_convert.h"
#include "formats/wave_format.h"
#include "sys/codec_stream.h"

namespace {

constexpr size_t kInputFrames = 8192;

int channelsOf(const std::vector<uint8_t>& record) {
  int channels = record.size() >= 4 ? le16(record.data() + 2) : 1;
  return channels == 0 ? 1 : channels;
}
int32_t rateOf(const std::vector<uint8_t>& record) {
  return record.size() >= 8 ? static_cast<int32_t>(le32(record.data() + 4)) : 0;
}

class WaveCodecSink final : public FileSink {
 public:
  WaveCodecSink(const std::string& path, const std::vector<uint8_t>& record)
      : FileSink(rateOf(record), channelsOf(record)), m_record(record) {
    if (m_record.size() < 18) {
      fail();
      return;
    }
    m_stream = sys::openEncodingStream(m_record);
    if (!m_stream) {
      fail();
      return;
    }
    if (!openOutput(path, sys::Disposition::CreateAlways)) return;
    size_t blockAlign = std::max<size_t>(1, le16(m_record.data() + 12));
    m_blockAlign = blockAlign;
    m_input.resize(kInputFrames * channels() * 2);
    m_output.resize(std::max<size_t>(m_stream->inputBytesFor(m_input.size()), 1) + m_input.size() + 4096);
    writeHeader(0xFFFFFFFFu, 0xFFFFFFFFu);
  }
  ~WaveCodecSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (frames <= 0 || closed() || !good() || !advance(frames)) return;
    size_t samples = static_cast<size_t>(frames) * channels();
    for (size_t i = 0; i < samples; ++i) {
      storeLe16(&m_input[m_inputFill], static_cast<uint16_t>(int16FromSample(buffer[i])));
      m_inputFill += 2;
      if (m_inputFill == m_input.size()) convert(false);
    }
  }

 protected:
  void commit() override {
    if (!m_file.isOpen()) return;
    if (good()) convert(true);
    if (seekTo(0)) {
      auto extra = static_cast<uint32_t>(m_record.size() - 18);
      writeHeader(static_cast<uint32_t>(std::min<int64_t>(m_dataBytes + 38 + extra, 0xFFFFFFFFLL)),
                  static_cast<uint32_t>(m_dataBytes));
    }
    m_file.close();
  }

 private:
  void convert(bool last) {
    size_t offset = 0;
    while (good()) {
      size_t consumed = 0, produced = 0;
      if (!m_stream->convert(m_input.data() + offset, m_inputFill - offset, consumed, m_output.data(),
                             m_output.size(), produced, last)) {
        fail();
        break;
      }
      if (produced > 0) {
        if (m_dataBytes + static_cast<int64_t>(produced) > 0xFFFFFFFFLL - 38 - static_cast<int64_t>(m_record.size())) {
          fail();  // past what the header's 32-bit sizes can describe
          break;
        }
        writeBytes(m_output.data(), produced);
        m_dataBytes += static_cast<int64_t>(produced);
      }
      offset += consumed;
      if (consumed == 0 && produced == 0) break;
      if (!last && m_inputFill - offset < m_blockAlign) break;
    }
    std::memmove(m_input.data(), m_input.data() + offset, m_inputFill - offset);
    m_inputFill -= offset;
  }

  void writeHeader(uint32_t riffBytes, uint32_t dataBytes) {
    std::vector<uint8_t> header(12 + 8);
    std::memcpy(header.data(), "RIFF", 4);
    storeLe32(header.data() + 4, riffBytes);
    std::memcpy(header.data() + 8, "WAVEfmt ", 8);
    storeLe32(header.data() + 16, static_cast<uint32_t>(m_record.size()));
    header.insert(header.end(), m_record.begin(), m_record.end());
    uint8_t data[8];
    std::memcpy(data, "data", 4);
    storeLe32(data + 4, dataBytes);
    header.insert(header.end(), data, data + 8);
    writeBytes(header.data(), header.size());
  }

  std::vector<uint8_t> m_record;
  std::unique_ptr<sys::CodecStream> m_stream;
  std::vector<uint8_t> m_input;
  size_t m_inputFill = 0;
  std::vector<uint8_t> m_output;
  size_t m_blockAlign = 1;
  int64_t m_dataBytes = 0;
};

}  // namespace

SampleSinkRef makeWaveCodecSink(const std::string& path, const std::vector<uint8_t>& waveFormat) {
  return makeRef<WaveCodecSink>(path, waveFormat);
}
