#include <algorithm>
#include <vector>

#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"

namespace {

constexpr int32_t kMinimumEchoSamples = 20;
constexpr int32_t kMaximumEchoGain = 99;

// y = x + (g * ring[i]) >> 9 with g = gain * 512 / 100; y goes back into the
// ring, so every repeat is fed back.
class EchoSource final : public KernelSource {
 public:
  EchoSource(SampleSourceRef input, int32_t delaySamples, int32_t gain)
      : KernelSource(std::move(input)), m_ring(static_cast<size_t>(delaySamples), 0), m_gain(gain) {}

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const size_t count = static_cast<size_t>(frames) * channels();
    for (size_t s = 0; s < count; ++s) {
      const int64_t y = static_cast<int64_t>(samples[s]) + ((m_gain * static_cast<int64_t>(m_ring[m_index])) >> 9);
      samples[s] = m_ring[m_index] = clampToInt32(y);
      if (++m_index == m_ring.size()) m_index = 0;
    }
  }

 private:
  std::vector<Sample> m_ring;
  size_t m_index = 0;
  int64_t m_gain;
};

}  // namespace

int32_t echoDelaySamples(int32_t echoTime, int32_t sampleRate, int channels) {
  const int64_t samples = msToFrames(std::max(echoTime, 0), sampleRate) * channels;
  return clampTo(samples, kMinimumEchoSamples, INT32_MAX / 2);
}

JobResult echo(SoundBuffer& sound, int32_t start, int32_t end, const EchoParams& params, ProgressCallback* progress) {
  if (params.EchoTime < 1) return JobResult::Done;
  if (!clampSelection(sound, start, end)) return JobResult::Done;
  // A delay past the selection's end is never heard: the ring need not be longer.
  const int64_t selectionSamples = (static_cast<int64_t>(end - start) + 1) * sound.channels();
  const int32_t delay = clampToInt32(std::min<int64_t>(
      echoDelaySamples(params.EchoTime, sound.sampleRate(), sound.channels()), std::max<int64_t>(selectionSamples, 20)));
  const int32_t gain = std::min(params.EchoGain, kMaximumEchoGain) * 512 / 100;
  return runFilter(sound, start, end, kEchoName, [&](SampleSourceRef input) -> SampleSourceRef {
    return makeRef<EchoSource>(std::move(input), delay, gain);
  }, progress);
}
