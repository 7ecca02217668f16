#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"

namespace {

constexpr int32_t kMinimumReverbSamples = 128;
// Where the four read taps start, as fractions of the ring, and their gains
// as fractions of the level; the fifth tap reads at the write index.
constexpr double kTapStarts[4] = {0.7413, 0.5581, 0.3823, 0.211};
constexpr double kTapGains[5] = {0.4, 0.1, 0.3, 0.07, 0.13};

// y = x + sum over the taps of (ring[tap] * gain) >> 9; y is written at the
// write index after the taps are read, and every index advances by one.
class ReverbSource final : public KernelSource {
 public:
  ReverbSource(SampleSourceRef input, int32_t ringSamples, int32_t level)
      : KernelSource(std::move(input)), m_ring(static_cast<size_t>(ringSamples), 0) {
    const int64_t g = static_cast<int64_t>(level) * 512 / 100;
    for (int t = 0; t < 4; ++t) m_taps[t] = static_cast<size_t>(std::trunc(ringSamples * kTapStarts[t]));
    for (int t = 0; t < 5; ++t) m_gains[t] = static_cast<int64_t>(std::trunc(g * kTapGains[t]));
  }

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const size_t count = static_cast<size_t>(frames) * channels(), size = m_ring.size();
    for (size_t s = 0; s < count; ++s) {
      int64_t y = samples[s];
      for (int t = 0; t < 4; ++t) y += (m_ring[m_taps[t]] * m_gains[t]) >> 9;
      y += (m_ring[m_write] * m_gains[4]) >> 9;
      samples[s] = m_ring[m_write] = clampToInt32(y);
      for (size_t& tap : m_taps)
        if (++tap == size) tap = 0;
      if (++m_write == size) m_write = 0;
    }
  }

 private:
  std::vector<int64_t> m_ring;
  std::array<size_t, 4> m_taps{};
  std::array<int64_t, 5> m_gains{};
  size_t m_write = 0;
};

}  // namespace

JobResult reverb(SoundBuffer& sound, int32_t start, int32_t end, const ReverbParams& params,
                 ProgressCallback* progress) {
  // Times are kept to what the dialog accepts, so that a stored value of
  // any size cannot ask for an enormous ring.
  const int32_t time = std::clamp(params.ReverbTime, 0, kReverbTimeValue.maximum);
  const int32_t level = std::clamp(params.ReverbLevel, kReverbLevelValue.minimum, kReverbLevelValue.maximum);
  const int32_t ring = clampTo(msToFrames(time, sound.sampleRate()) * sound.channels(), kMinimumReverbSamples,
                               INT32_MAX);
  return runFilter(sound, start, end, kReverbName, [&](SampleSourceRef input) -> SampleSourceRef {
    return makeRef<ReverbSource>(std::move(input), ring, level);
  }, progress);
}
