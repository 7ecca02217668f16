#include "core/format_adapter_source.h"

#include <algorithm>

FormatAdapterSource::FormatAdapterSource(SampleSourceRef input, int32_t sampleRate, int channels)
    : SampleSource(sampleRate, channels, input->nominalPeak()), m_input(std::move(input)) {
  const int64_t inRate = m_input->sampleRate();
  if (sampleRate < 1 || sampleRate > kMaxRate || inRate < 1 || inRate > kMaxRate || channels < 1 ||
      channels > 255) {
    setStatus(SourceStatus::Corrupt);
    return;
  }
  setStatus(m_input->status());
  m_input->seek(0);
  m_inputLength = std::max(0, m_input->length());
  m_length = clampToInt32((m_inputLength * sampleRate + inRate / 2) / inRate);
  m_frame.resize(m_input->channels());
}

void FormatAdapterSource::mapChannels(const Sample* in, Sample* out) const {
  const int from = m_input->channels(), to = channels();
  if (from == to) {
    std::copy_n(in, to, out);
  } else if (to == 1) {
    int64_t sum = 0;
    for (int c = 0; c < from; ++c) sum += in[c];
    out[0] = static_cast<Sample>(sum / from);
  } else {
    for (int c = 0; c < to; ++c) out[c] = in[std::min(c, from - 1)];
  }
}

const Sample* FormatAdapterSource::inputFrame(int64_t index) {
  const int from = m_input->channels();
  int64_t have = static_cast<int64_t>(m_window.size()) / from;
  if (index < m_bufferStart || index >= m_bufferStart + have) {
    // Keep the previous frame for interpolation, read the next chunk after it.
    std::vector<Sample> keep;
    if (index == m_bufferStart + have && have > 0) keep.assign(m_window.end() - from, m_window.end());
    int64_t start = keep.empty() ? index : index - 1;
    if (keep.empty()) m_input->seek(static_cast<int32_t>(index));
    m_window.assign(keep.begin(), keep.end());
    size_t old = m_window.size();
    m_window.resize(old + static_cast<size_t>(kProcessChunkFrames) * from);
    m_input->read(m_window.data() + old, kProcessChunkFrames);
    m_bufferStart = start;
  }
  return m_window.data() + (index - m_bufferStart) * from;
}

void FormatAdapterSource::read(Sample* buffer, int32_t frames) {
  const int to = channels(), from = m_input->channels();
  const int64_t inRate = m_input->sampleRate(), outRate = sampleRate();
  for (int32_t f = 0; f < frames; ++f, ++m_position) {
    Sample* out = buffer + static_cast<size_t>(f) * to;
    if (!good() || m_position < 0 || m_position >= m_length || m_inputLength == 0) {
      std::fill_n(out, to, 0);
      continue;
    }
    const int64_t at = static_cast<int64_t>(m_position) * inRate;
    const int64_t index = std::min(at / outRate, m_inputLength - 1);
    const int64_t fraction = at % outRate;
    // The later frame first: fetching it may move the window, which always
    // keeps the frame before it.
    const Sample* b = inputFrame(std::min(index + 1, m_inputLength - 1));
    const Sample* a = inputFrame(index);
    for (int c = 0; c < from; ++c)
      m_frame[c] = clampToInt32(a[c] + (static_cast<int64_t>(b[c]) - a[c]) * fraction / outRate);
    mapChannels(m_frame.data(), out);
  }
}

SampleSourceRef adaptSourceFormat(SampleSourceRef source, int32_t sampleRate, int channels) {
  if (source->sampleRate() == sampleRate && source->channels() == channels) return source;
  return makeRef<FormatAdapterSource>(std::move(source), sampleRate, channels);
}
