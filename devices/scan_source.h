#pragma once
// The rewind and fast-forward scanner: short grains of the inner source,
// each played forwards at normal speed, whose starts move by a step that
// grows from a start speed to a final speed over a ramp time. Consecutive
// grains are cross-faded, so the scan sounds like quick glimpses of the
// sound rather than clicks.
//
// Grain G = rate / 90 frames (about 11 ms), kept to 20 ... 2730. Each grain
// is read 2G frames long: its first G frames fade in under the previous
// grain's last G frames, which fade out by the window; its last G frames
// carry the next period alone until the next grain fades in.

#include <cstdint>
#include <vector>

#include "core/sample_source.h"

class ScanSource final : public SampleSource {
 public:
  static constexpr int32_t kUnity = 1 << 24;  // window entries: 2^24 = 1.0

  // Speeds are multiples of normal speed; their sign is the direction
  // (negative scans backwards). The scan starts at the inner position.
  ScanSource(SampleSourceRef inner, double startSpeed, double finalSpeed, int32_t rampMs);

  void read(Sample* buffer, int32_t frames) override;
  // The start of the newest grain.
  int32_t position() const override { return clampToInt32(m_grainStart); }
  // Backwards: twice the position, so that a player keeps pulling until the
  // scan reaches frame 0 and then ends as at the end of a file. Forwards:
  // the inner source's length.
  int32_t length() const override;
  void seek(int32_t frame) override;

  static int32_t grainFrames(int32_t rate);
  // G x channels entries: the first half (rounded down) 1.0, the remaining M
  // falling as a raised cosine, entry k = (0.5 cos(k pi / M) + 0.5) x 2^24.
  const std::vector<int32_t>& window() const { return m_window; }
  // The current step between grain starts, in frames.
  double step() const { return m_step; }

 private:
  void makePeriod();
  void readGrain();

  SampleSourceRef m_inner;
  int32_t m_grain;
  std::vector<int32_t> m_window;
  double m_step;
  double m_finalStep;
  int64_t m_remaining;     // of the ramp, in frames times channels
  int64_t m_grainStart;
  bool m_primed = false;   // false until the first grain is read
  std::vector<Sample> m_grainSamples;  // 2G frames of the newest grain
  std::vector<Sample> m_period;        // the G frames being handed out
  int32_t m_periodUsed;
};
