#include "core/format_adapter_source.h"

#include <algorithm>
#include <cmath>

FormatAdapterSource::FormatAdapterSource(SampleSourceRef input, int32_t sampleRate, int channels)
    : SampleSource(sampleRate, channels, input->nominalPeak()), m_input(std::move(input)) {
  m_step = static_cast<double>(m_input->sampleRate()) / this->sampleRate();
  m_length = clampToInt32(static_cast<int64_t>(std::floor(m_input->length() / m_step)));
  m_input->seek(0);
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
    if (index == m_bufferStart + have && have > 0)
      keep.assign(m_window.end() - from, m_window.end());
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
  std::vector<Sample> a(from), b(from);
  m_mapped.resize(to);
  for (int32_t f = 0; f < frames; ++f) {
    Sample* out = buffer + static_cast<size_t>(f) * to;
    if (m_position < 0 || m_position >= m_length) {
      std::fill_n(out, to, 0);
    } else {
      double at = m_position * m_step;
      auto index = static_cast<int64_t>(at);
      double fraction = at - index;
      std::copy_n(inputFrame(index), from, a.begin());
      if (fraction > 0) {
        std::copy_n(inputFrame(index + 1), from, b.begin());
        for (int c = 0; c < from; ++c) a[c] = static_cast<Sample>(std::lround(a[c] + (b[c] - double(a[c])) * fraction));
      }
      mapChannels(a.data(), out);
    }
    ++m_position;
  }
}

SampleSourceRef adaptSourceFormat(SampleSourceRef source, int32_t sampleRate, int channels) {
  if (source->sampleRate() == sampleRate && source->channels() == channels) return source;
  return makeRef<FormatAdapterSource>(std::move(source), sampleRate, channels);
}
