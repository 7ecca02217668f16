#pragma once
// Repeats the frames loopStart ... loopEnd - 1 of its inner source for as
// long as it is read. A loop shorter than kShortestLoop frames plays that
// many frames from its start before it turns (the rest of its inner source,
// silence for a range), so that a tiny or empty loop never spins.

#include "core/sample_source.h"

class LoopSource final : public SampleSource {
 public:
  static constexpr int32_t kShortestLoop = 256;

  // Positions past the loop end are first brought into the loop.
  LoopSource(SampleSourceRef inner, int32_t loopStart, int32_t loopEnd);
  // The loop given in milliseconds, turned into frames by the shared rule.
  static SampleSourceRef fromMilliseconds(SampleSourceRef inner, int32_t loopStartMs, int32_t loopEndMs);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_inner->position(); }
  // The frame where reading turns back: it is never reached, so the loop
  // never runs out.
  int32_t length() const override { return clampToInt32(turnFrame()); }
  // At or past the loop end: loopStart + (frame - loopEnd) mod the loop's
  // length (loopStart for an empty loop); earlier frames unchanged.
  void seek(int32_t frame) override;

  int32_t loopStart() const { return m_loopStart; }
  int32_t loopEnd() const { return m_loopEnd; }

 private:
  int64_t turnFrame() const;

  SampleSourceRef m_inner;
  int32_t m_loopStart;
  int32_t m_loopEnd;
};
