// The GSM reader: a headerless run of 33-byte GSM 06.10 frames, 160 samples
// each, 8,000 Hz mono. Bytes after the last whole frame are ignored.
//
// The decoder is a filter with memory, so a frame only decodes to exactly
// what a player hears when the frames before it went through the same
// decoder. Reading straight on keeps that; a seek (or a read) that lands
// anywhere but the frame in hand or the one after it restarts the decoder at
// the target frame, which then starts from silence. The first few frames
// after such a jump differ slightly from a decode from the start.

#include <algorithm>
#include <memory>

#include "core/silence_source.h"
#include "formats/formats.h"
#include "formats/gsm610_codec.h"
#include "formats/pcm_convert.h"

namespace {

constexpr int32_t kGsmRate = 8000;
constexpr int32_t kGsmNominalPeak = 65534 * 16;  // the largest decoded value, 32,767 rounded down to 8

class GsmSource final : public SampleSource {
 public:
  explicit GsmSource(std::unique_ptr<ByteSource> bytes)
      : SampleSource(kGsmRate, 1, kGsmNominalPeak), m_bytes(std::move(bytes)) {
    const int64_t frames = std::max<int64_t>(m_bytes->size(), 0) / kGsmFrameBytes * kGsmFrameSamples;
    if (frames > kMaxFrames) {
      setStatus(SourceStatus::Corrupt);
      return;
    }
    m_length = static_cast<int32_t>(frames);
  }

  void read(Sample* buffer, int32_t frames) override {
    if (frames <= 0) return;
    std::fill_n(buffer, frames, 0);
    const int64_t start = m_position;
    const int64_t end = start + frames;
    m_position = clampToInt32(end);
    if (!good()) return;

    int64_t at = std::max<int64_t>(start, 0);
    const int64_t last = std::min<int64_t>(end, m_length);
    while (at < last) {
      const auto block = static_cast<int32_t>(at / kGsmFrameSamples);
      const auto offset = static_cast<int32_t>(at % kGsmFrameSamples);
      const auto count = static_cast<int32_t>(std::min<int64_t>(kGsmFrameSamples - offset, last - at));
      if (loadBlock(block)) std::copy_n(m_block + offset, count, buffer + (at - start));
      at += count;
    }
  }

  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }

  void seek(int32_t frame) override {
    m_position = std::min(frame, m_length);
    if (!good()) return;
    if (m_position < 0) {
      // Reading on from here reaches the first frame with a fresh decoder.
      restartAt(0);
    } else if (m_position < m_length) {
      loadBlock(m_position / kGsmFrameSamples);
    }
  }

 private:
  // The decoder takes the given frame next, from silence.
  void restartAt(int32_t block) {
    m_decoder.reset();
    m_nextBlock = block;
    m_loadedBlock = -1;
  }

  // Brings the samples of one frame into m_block; false when they cannot be
  // read (the decoder then restarts at the next frame asked for).
  bool loadBlock(int32_t block) {
    if (block == m_loadedBlock) return true;
    if (block != m_nextBlock) restartAt(block);
    uint8_t frame[kGsmFrameBytes];
    if (!m_bytes->seek(static_cast<int64_t>(block) * kGsmFrameBytes) || !m_bytes->readExact(frame, sizeof frame)) {
      restartAt(-1);
      return false;
    }
    // A frame without the GSM signature is not GSM data: it reads as silence
    // and leaves the decoder as it was.
    int16_t pcm[kGsmFrameSamples];
    m_decoder.decode(frame, pcm);
    for (int i = 0; i < kGsmFrameSamples; ++i) m_block[i] = sampleFrom16(pcm[i]);
    m_loadedBlock = block;
    m_nextBlock = block + 1;
    return true;
  }

  std::unique_ptr<ByteSource> m_bytes;
  Gsm610Decoder m_decoder;
  int32_t m_position = 0;
  int32_t m_length = 0;
  int32_t m_nextBlock = 0;     // the frame the decoder's state continues into
  int32_t m_loadedBlock = -1;  // the frame held in m_block, -1 for none
  Sample m_block[kGsmFrameSamples] = {};
};

}  // namespace

SampleSourceRef openGsmSource(std::unique_ptr<ByteSource> bytes) {
  if (!bytes) return makeSilenceSource(SourceStatus::CannotOpen);
  return makeRef<GsmSource>(std::move(bytes));
}
