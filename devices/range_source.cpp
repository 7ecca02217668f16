#include "devices/range_source.h"

#include <algorithm>

RangeSource::RangeSource(SampleSourceRef inner, int32_t start, int32_t end)
    : SampleSource(inner->sampleRate(), inner->channels(), inner->nominalPeak()),
      m_inner(std::move(inner)),
      m_start(std::max(start, 0)),
      m_end(std::max(end, m_start)),
      m_position(m_start) {
  setStatus(m_inner->status());
  m_inner->seek(m_start);
}

void RangeSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  int64_t inside = std::clamp<int64_t>(m_end - m_position, 0, frames);
  if (inside > 0) m_inner->read(buffer, static_cast<int32_t>(inside));
  std::fill(buffer + inside * channels(), buffer + static_cast<int64_t>(frames) * channels(), 0);
  m_position += frames;
}

void RangeSource::seek(int32_t frame) {
  m_position = std::clamp(frame, m_start, m_end);
  m_inner->seek(static_cast<int32_t>(m_position));
}
