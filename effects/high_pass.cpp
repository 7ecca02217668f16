#include <vector>

#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"
#include "effects/high_pass_biquad.h"

namespace {

class HighPassSource final : public KernelSource {
 public:
  HighPassSource(SampleSourceRef input, int32_t corner)
      : KernelSource(std::move(input)), m_filter(corner, sampleRate(), channels()) {}

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const int channelCount = channels();
    for (int32_t f = 0; f < frames; ++f)
      for (int c = 0; c < channelCount; ++c, ++samples) *samples = m_filter.filter(c, *samples);
  }

 private:
  HighPassBiquad m_filter;
};

}  // namespace

JobResult highPass(SoundBuffer& sound, int32_t start, int32_t end, const HighPassParams& params,
                   ProgressCallback* progress) {
  return runFilter(sound, start, end, kHighPassJobName, [&](SampleSourceRef input) -> SampleSourceRef {
    return makeRef<HighPassSource>(std::move(input), params.LowCutFreq);
  }, progress);
}
