#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kMaximumTime = 1000;

// A feed-forward delay whose length swings by d frames around D at the
// modulation rate; the delayed value is read between two ring entries and
// added to the input at the gain.
class ModulatedDelaySource final : public KernelSource {
 public:
  ModulatedDelaySource(SampleSourceRef input, const ModulatedDelayParams& params) : KernelSource(std::move(input)) {
    const int64_t time = std::clamp(params.time, 0, kMaximumTime);
    const int64_t depth = std::clamp(params.depth, 0, 100);
    m_delay = sampleRate() * time / 1000;
    m_swing = m_delay * depth / 100;
    m_ring.assign(static_cast<size_t>((m_delay + 2 + m_swing) * channels()), 0);
    m_phaseStep = 2 * kPi * (params.modulation / static_cast<double>(kThousandths)) / sampleRate();
    m_gain = params.gain * 0.01;
  }

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const int64_t channelCount = channels(), size = static_cast<int64_t>(m_ring.size());
    for (int32_t f = 0; f < frames; ++f) {
      const double delay = m_delay + m_swing * std::sin(m_phase);
      const int64_t whole = static_cast<int64_t>(std::trunc(delay));
      const double fraction = delay - whole;
      m_phase += m_phaseStep;
      for (int64_t c = 0; c < channelCount; ++c, ++samples) {
        m_ring[m_write] = *samples;
        const int64_t near = (size - whole * channelCount + m_write) % size;
        const int64_t far = (2 * size - channelCount - whole * channelCount + m_write) % size;
        const double delayed = m_ring[near] * (1 - fraction) + m_ring[far] * fraction;
        *samples = clampToInt32(*samples + static_cast<int64_t>(std::trunc(delayed * m_gain)));
        if (++m_write == size) m_write = 0;
      }
    }
  }

 private:
  std::vector<Sample> m_ring;
  int64_t m_delay = 0, m_swing = 0, m_write = 0;
  double m_phase = 0, m_phaseStep = 0, m_gain = 0;
};

}  // namespace

JobResult modulatedDelay(SoundBuffer& sound, int32_t start, int32_t end, const ModulatedDelayParams& params,
                         const char* name, ProgressCallback* progress) {
  return runFilter(sound, start, end, name, [&](SampleSourceRef input) -> SampleSourceRef {
    return makeRef<ModulatedDelaySource>(std::move(input), params);
  }, progress);
}

JobResult phaser(SoundBuffer& sound, int32_t start, int32_t end, const PhaserParams& params,
                 ProgressCallback* progress) {
  return modulatedDelay(sound, start, end, ModulatedDelayParams{params.Time, 0, 0, params.Gain}, kPhaserName,
                        progress);
}
