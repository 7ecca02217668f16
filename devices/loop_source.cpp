#include "devices/loop_source.h"

#include <algorithm>

LoopSource::LoopSource(SampleSourceRef inner, int32_t loopStart, int32_t loopEnd)
    : SampleSource(inner->sampleRate(), inner->channels(), inner->nominalPeak()),
      m_inner(std::move(inner)),
      m_loopStart(std::max(loopStart, 0)),
      m_loopEnd(std::max(loopEnd, m_loopStart)) {
  setStatus(m_inner->status());
  if (m_inner->position() >= m_loopEnd) seek(m_inner->position());
}

SampleSourceRef LoopSource::fromMilliseconds(SampleSourceRef inner, int32_t loopStartMs, int32_t loopEndMs) {
  int32_t rate = inner->sampleRate();
  auto start = clampToInt32(msToFrames(loopStartMs, rate));
  auto end = clampToInt32(msToFrames(loopEndMs, rate));
  return makeRef<LoopSource>(std::move(inner), start, end);
}

int64_t LoopSource::turnFrame() const {
  return std::max<int64_t>(m_loopEnd, static_cast<int64_t>(m_loopStart) + kShortestLoop);
}

void LoopSource::read(Sample* buffer, int32_t frames) {
  const int64_t turn = turnFrame();
  while (frames > 0) {
    int64_t position = m_inner->position();
    if (position >= turn || position + frames < turn) break;
    // This read reaches the turn: up to it, then back to the loop start.
    auto upToTurn = static_cast<int32_t>(turn - position);
    m_inner->read(buffer, upToTurn);
    buffer += static_cast<int64_t>(upToTurn) * channels();
    frames -= upToTurn;
    m_inner->seek(m_loopStart);
  }
  if (frames > 0) m_inner->read(buffer, frames);
}

void LoopSource::seek(int32_t frame) {
  int64_t loopLength = static_cast<int64_t>(m_loopEnd) - m_loopStart;
  int64_t target = frame;
  if (loopLength <= 0 && frame >= m_loopEnd) {
    target = m_loopStart;
  } else if (frame >= m_loopEnd) {
    target = m_loopStart + (static_cast<int64_t>(frame) - m_loopEnd) % loopLength;
  }
  m_inner->seek(static_cast<int32_t>(target));
}
