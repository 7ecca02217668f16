#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"

namespace {

// What is the same in both channels (a voice in the middle) cancels.
class CentreCancelSource final : public KernelSource {
 public:
  using KernelSource::KernelSource;

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    for (int32_t f = 0; f < frames; ++f, samples += 2)
      samples[0] = samples[1] = clampToInt32(static_cast<int64_t>(samples[0]) - samples[1]);
  }
};

}  // namespace

JobResult reduceVocals(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  if (sound.channels() != 2) return JobResult::Failed;
  return runFilter(sound, start, end, kReduceVocalsName, [](SampleSourceRef input) -> SampleSourceRef {
    return makeRef<CentreCancelSource>(std::move(input));
  }, progress);
}
