#include "devices/resample_speed_source.h"

#include <algorithm>
#include <cstddef>

ResampleSpeedSource::ResampleSpeedSource(SampleSourceRef inner, int percent)
    : SampleSource(inner->sampleRate(), inner->channels(), inner->nominalPeak()),
      m_inner(std::move(inner)),
      m_percent(std::clamp(percent, 1, 800)) {
  setStatus(m_inner->status());
}

void ResampleSpeedSource::seek(int32_t frame) {
  m_inner->seek(frame);
  m_available = 0;
  m_index = 0;
  m_phase = 0;
}

void ResampleSpeedSource::ensureFrames(int64_t count) {
  if (m_index + count <= m_available) return;
  const int ch = channels();
  // Drop what lies behind the output; frames a fast step jumped over past
  // the end of what was read are read and dropped too.
  int32_t keep = std::max(0, m_available - m_index);
  int32_t skip = std::max(0, m_index - m_available);
  if (keep > 0) {
    std::copy(m_frames.begin() + static_cast<ptrdiff_t>(m_index) * ch,
              m_frames.begin() + static_cast<ptrdiff_t>(m_available) * ch, m_frames.begin());
  }
  m_index = 0;
  m_available = keep;
  size_t needed = static_cast<size_t>(std::max<int64_t>(count, skip)) * ch;
  if (m_frames.size() < needed) m_frames.resize(needed);  // grows to one block's worth, then stays
  if (skip > 0) m_inner->read(m_frames.data() + static_cast<size_t>(keep) * ch, skip);
  auto more = static_cast<int32_t>(count - keep);
  m_inner->read(m_frames.data() + static_cast<size_t>(keep) * ch, more);
  m_available = static_cast<int32_t>(count);
}

void ResampleSpeedSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  // The last output frame interpolates between the frame it stands on and the next.
  ensureFrames((m_phase + static_cast<int64_t>(frames - 1) * m_percent) / 100 + 2);
  const int ch = channels();
  for (int32_t f = 0; f < frames; ++f) {
    const Sample* here = m_frames.data() + static_cast<size_t>(m_index) * ch;
    for (int c = 0; c < ch; ++c) {
      int64_t a = here[c];
      int64_t b = here[ch + c];
      buffer[static_cast<size_t>(f) * ch + c] = static_cast<Sample>(a + (b - a) * m_phase / 100);
    }
    m_phase += m_percent;
    m_index += m_phase / 100;
    m_phase %= 100;
  }
}
