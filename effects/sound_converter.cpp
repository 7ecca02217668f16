#include "effects/sound_converter.h"

#include <algorithm>
#include <vector>

namespace {

// Rates above this would let the interpolation products pass 64 bits.
constexpr int32_t kMaxConvertRate = 1 << 30;

// Input frames mapped to the output's channels, read ahead in chunks. Frames
// are asked for in rising order; the window keeps the last frame of the
// previous chunk so that a frame and its successor are always both there.
class MappedInput {
 public:
  MappedInput(SampleSource& source, int outChannels)
      : m_source(source),
        m_inChannels(source.channels()),
        m_outChannels(outChannels),
        m_chunk(static_cast<size_t>(kProcessChunkFrames) * m_inChannels) {}

  const Sample* frame(int64_t index) {
    while (index >= m_start + m_count) advance();
    return &m_window[static_cast<size_t>(index - m_start) * m_outChannels];
  }

 private:
  void advance() {
    if (m_count > 0) {
      std::copy_n(m_window.end() - m_outChannels, m_outChannels, m_window.begin());
      m_start += m_count - 1;
      m_count = 1;
    }
    m_window.resize(static_cast<size_t>(m_count + kProcessChunkFrames) * m_outChannels);
    m_source.read(m_chunk.data(), kProcessChunkFrames);
    for (int32_t f = 0; f < kProcessChunkFrames; ++f)
      mapFrame(&m_chunk[static_cast<size_t>(f) * m_inChannels],
               &m_window[static_cast<size_t>(m_count + f) * m_outChannels]);
    m_count += kProcessChunkFrames;
  }

  void mapFrame(const Sample* in, Sample* out) const {
    if (m_outChannels == 1 && m_inChannels > 1) {
      int64_t sum = 0;
      for (int c = 0; c < m_inChannels; ++c) sum += in[c];
      out[0] = static_cast<Sample>(sum / m_inChannels);
      return;
    }
    for (int c = 0; c < m_outChannels; ++c) out[c] = in[std::min(c, m_inChannels - 1)];
  }

  SampleSource& m_source;
  int m_inChannels;
  int m_outChannels;
  std::vector<Sample> m_chunk;
  std::vector<Sample> m_window;
  int64_t m_start = 0;  // input frame of the window's first frame
  int64_t m_count = 0;  // frames in the window
};

}  // namespace

JobResult LinearFallbackConverter::convert(const SoundBuffer& in, int32_t sampleRate, int channels,
                                           SoundBuffer& out, ProgressCallback* progress) {
  const int64_t inRate = in.sampleRate();
  if (sampleRate <= 0 || sampleRate > kMaxConvertRate || inRate <= 0 || inRate > kMaxConvertRate ||
      channels < 1 || channels > 255)
    return JobResult::Failed;
  const int64_t inLength = in.totalFrames();
  const int64_t outLength = (inLength * sampleRate + inRate / 2) / inRate;
  if (outLength > kMaxFrames) return JobResult::Failed;
  if (outLength == 0) {
    out = SoundBuffer(sampleRate, channels);
    return JobResult::Done;
  }

  SoundBuffer converted;
  auto writer = converted.openWriter(sampleRate, channels);
  if (!writer->good()) return JobResult::Failed;
  auto reader = in.openReader();
  MappedInput input(*reader, channels);
  std::vector<Sample> chunk(static_cast<size_t>(kProcessChunkFrames) * channels);
  for (int64_t done = 0; done < outLength;) {
    if (progress && !progress->progress(done, outLength)) return JobResult::Cancelled;
    auto count = static_cast<int32_t>(std::min<int64_t>(kProcessChunkFrames, outLength - done));
    for (int32_t f = 0; f < count; ++f) {
      // Output frame j lies at input position j x inRate / outRate.
      const int64_t position = (done + f) * inRate;
      const int64_t index = position / sampleRate;
      const int64_t fraction = position % sampleRate;
      // The later frame first: fetching it may move the window, which
      // always keeps the frame before it.
      const Sample* b = input.frame(std::min(index + 1, inLength - 1));
      const Sample* a = input.frame(index);
      Sample* o = &chunk[static_cast<size_t>(f) * channels];
      for (int c = 0; c < channels; ++c)
        o[c] = clampToInt32(a[c] + (static_cast<int64_t>(b[c]) - a[c]) * fraction / sampleRate);
    }
    writer->write(chunk.data(), count);
    if (!writer->good()) return JobResult::Failed;
    done += count;
  }
  if (writer->close() != SourceStatus::Good) return JobResult::Failed;
  out = std::move(converted);
  return JobResult::Done;
}
