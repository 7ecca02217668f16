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

// The fixed fields of the record; a record too short for them fails the sink.
WaveFormat fieldsOf(const std::vector<uint8_t>& record) {
  WaveFormat format;
  if (record.size() >= wave_record::kFixedBytes) format.loadFields(record.data());
  if (format.channels == 0) format.channels = 1;
  return format;
}

class WaveCodecSink final : public FileSink {
 public:
  WaveCodecSink(const std::string& path, const std::vector<uint8_t>& record)
      : FileSink(static_cast<int32_t>(fieldsOf(record).sampleRate), fieldsOf(record).channels), m_record(record) {
    if (m_record.size() < wave_record::kFullBytes) {
      fail();
      return;
    }
    m_stream = sys::openEncodingStream(m_record);
    if (!m_stream) {
      fail();
      return;
    }
    if (!openOutput(path, sys::Disposition::CreateAlways)) return;
    m_blockAlign = std::max<size_t>(1, fieldsOf(m_record).blockAlign);
    m_input.resize(kInputFrames * channels() * 2);
    m_output.resize(std::max<size_t>(m_stream->inputBytesFor(m_input.size()), 1) + m_input.size() + 4096);
    writeHeader(0xFFFFFFFFu);
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
    // Also after a failure: the header then describes the data written so far.
    const std::vector<uint8_t> header = waveFileHeader(m_record, static_cast<uint32_t>(m_dataBytes));
    rewriteAt(0, header.data(), header.size());
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
          refuseAsFull();  // past what the header's 32-bit sizes can describe
          break;
        }
        if (writeBytes(m_output.data(), produced)) m_dataBytes += static_cast<int64_t>(produced);
      }
      offset += consumed;
      if (consumed == 0 && produced == 0) break;
      if (!last && m_inputFill - offset < m_blockAlign) break;
    }
    std::memmove(m_input.data(), m_input.data() + offset, m_inputFill - offset);
    m_inputFill -= offset;
  }

  // 0xFFFFFFFF while the samples are still being written.
  void writeHeader(uint32_t dataBytes) {
    const std::vector<uint8_t> header = waveFileHeader(m_record, dataBytes);
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
