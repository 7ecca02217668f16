#pragma once
// The plain stand-in for Play Slow and Play Fast when no time-stretching
// speed source is plugged in: it plays its inner source faster or slower by
// reading it at percent / 100 frames per output frame with linear
// interpolation, so the pitch moves with the speed. Positions and length are
// those of the inner source, so the cursor follows what is heard.

#include <cstdint>
#include <vector>

#include "core/sample_source.h"

class ResampleSpeedSource final : public SampleSource {
 public:
  // percent of normal speed, 1 ... 800.
  ResampleSpeedSource(SampleSourceRef inner, int percent);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override {
    return clampToInt32(static_cast<int64_t>(m_inner->position()) - m_available + m_index);
  }
  int32_t length() const override { return m_inner->length(); }
  void seek(int32_t frame) override;

 private:
  // Makes m_frames hold at least count frames from m_index on.
  void ensureFrames(int64_t count);

  SampleSourceRef m_inner;
  int m_percent;
  // Inner frames read ahead: each read takes from its inner source just what
  // it needs, so a position counted back from the inner one stays right
  // even when the inner source loops.
  std::vector<Sample> m_frames;
  int32_t m_available = 0;  // frames held in m_frames
  int32_t m_index = 0;      // the frame the output stands on (may pass m_available)
  int m_phase = 0;          // hundredths of a frame past m_index
};
