// The GSM writer: 8,000 Hz mono, 160 samples to each 33-byte frame. The
// samples of an unfinished frame wait in m_pending; commit() fills the last
// frame up with silence, so a file always holds whole frames.

#include <algorithm>

#include "formats/file_sink.h"
#include "formats/formats.h"
#include "formats/gsm610_codec.h"
#include "formats/pcm_convert.h"

namespace {

constexpr int32_t kGsmRate = 8000;

class GsmSink final : public FileSink {
 public:
  explicit GsmSink(const std::string& path) : FileSink(kGsmRate, 1) {
    openOutput(path, sys::Disposition::CreateAlways);
  }
  ~GsmSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (!good() || closed() || !m_file.isOpen() || frames <= 0) return;
    if (!advance(frames)) return;
    for (int32_t i = 0; i < frames; ++i) {
      m_pending[m_pendingCount++] = int16FromSample(buffer[i]);
      if (m_pendingCount == kGsmFrameSamples && !writeFrame()) return;
    }
  }

 protected:
  void commit() override {
    if (!m_file.isOpen()) return;
    if (good() && m_pendingCount > 0) {
      std::fill(m_pending + m_pendingCount, m_pending + kGsmFrameSamples, int16_t(0));
      writeFrame();
    }
    m_file.close();
  }

 private:
  bool writeFrame() {
    uint8_t frame[kGsmFrameBytes];
    m_encoder.encode(m_pending, frame);
    m_pendingCount = 0;
    return writeBytes(frame, sizeof frame);
  }

  Gsm610Encoder m_encoder;
  int16_t m_pending[kGsmFrameSamples] = {};
  int m_pendingCount = 0;
};

}  // namespace

SampleSinkRef makeGsmSink(const std::string& path) { return makeRef<GsmSink>(path); }
