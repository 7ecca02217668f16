#include <cmath>
#include <vector>

#include "effects/amplitude_effects.h"

namespace {

class DcOffsetSource final : public KernelSource {
 public:
  DcOffsetSource(SampleSourceRef input, std::vector<Sample> offsets)
      : KernelSource(std::move(input)), m_offsets(std::move(offsets)) {}

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const int channelCount = channels();
    for (int32_t f = 0; f < frames; ++f)
      for (int c = 0; c < channelCount; ++c, ++samples)
        *samples = clampToInt32(static_cast<int64_t>(*samples) - m_offsets[c]);
  }

 private:
  std::vector<Sample> m_offsets;
};

class DcOffsetJob final : public EffectJob {
 public:
  std::string name() const override { return kDcOffsetName; }
  bool hasAnalysisPass() const override { return true; }

  JobResult analyse(SampleSource& input, ProgressCallback* progress) override {
    const int channelCount = input.channels();
    std::vector<double> sums(channelCount, 0.0);
    const int64_t frames = input.length();
    JobResult result = readInChunks(input, frames, progress, [&](const Sample* samples, int32_t count) {
      for (int32_t f = 0; f < count; ++f)
        for (int c = 0; c < channelCount; ++c) sums[c] += *samples++;
      return true;
    });
    m_offsets.assign(channelCount, 0);
    for (int c = 0; c < channelCount && frames > 0; ++c)
      m_offsets[c] = static_cast<Sample>(std::trunc(sums[c] / static_cast<double>(frames)));
    return result;
  }

  SampleSourceRef process(SampleSourceRef input) override {
    return makeRef<DcOffsetSource>(std::move(input), m_offsets);
  }

 private:
  std::vector<Sample> m_offsets;
};

}  // namespace

JobResult dcOffsetCorrection(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  DcOffsetJob job;
  return runEffectJob(sound, start, end, job, progress);
}
