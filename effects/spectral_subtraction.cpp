#include "effects/noise_reduction.h"

namespace {

class AutoSpectralSubtractionJob final : public EffectJob {
 public:
  explicit AutoSpectralSubtractionJob(int32_t silencePercent) : m_silencePercent(silencePercent) {}
  std::string name() const override { return kAutoSpectralSubtractionName; }
  bool hasAnalysisPass() const override { return true; }
  JobResult analyse(SampleSource& input, ProgressCallback* progress) override {
    return estimateNoiseFromQuietest(input, m_silencePercent, m_noise, progress);
  }
  SampleSourceRef process(SampleSourceRef input) override { return noiseSuppressedSource(std::move(input), m_noise); }

 private:
  int32_t m_silencePercent;
  NoiseSpectrum m_noise;
};

class NoiseSampleSubtractionJob final : public EffectJob {
 public:
  explicit NoiseSampleSubtractionJob(const NoiseSpectrum& noise) : m_noise(noise) {}
  std::string name() const override { return kNoiseSampleSubtractionName; }
  SampleSourceRef process(SampleSourceRef input) override { return noiseSuppressedSource(std::move(input), m_noise); }

 private:
  const NoiseSpectrum& m_noise;
};

}  // namespace

JobResult autoSpectralSubtraction(SoundBuffer& sound, int32_t start, int32_t end,
                                  const AutoSpectralSubtractionParams& params, ProgressCallback* progress) {
  AutoSpectralSubtractionJob job(params.SSNoiseThreshold);
  return runEffectJob(sound, start, end, job, progress);
}

bool noiseSampleTooLong(int32_t frames, int32_t sampleRate) {
  return sampleRate <= 0 || frames / sampleRate >= kNoiseSampleSecondsLimit;
}

JobResult grabNoiseSample(const SoundBuffer& sound, int32_t start, int32_t end, NoiseSample& sample,
                          ProgressCallback* progress) {
  if (!clampSelection(sound, start, end) || noiseSampleTooLong(end - start, sound.sampleRate()))
    return JobResult::Failed;
  NoiseSample grabbed;
  if (!grabbed.audio.extractRange(sound, start, end)) return JobResult::Failed;
  SampleSourceRef reader = grabbed.audio.openReader();
  if (!reader->good()) return JobResult::Failed;
  JobResult result = measureNoiseSpectrum(*reader, grabbed.spectrum, progress);
  if (result == JobResult::Done) sample = std::move(grabbed);
  return result;
}

bool noiseSampleFits(const NoiseSample& sample, const SoundBuffer& sound) {
  return !sample.spectrum.power.empty() && sample.sampleRate() == sound.sampleRate() &&
         sample.channels() == sound.channels();
}

JobResult noiseSampleSubtraction(SoundBuffer& sound, int32_t start, int32_t end, const NoiseSample& sample,
                                 ProgressCallback* progress) {
  if (!noiseSampleFits(sample, sound)) return JobResult::Failed;
  NoiseSampleSubtractionJob job(sample.spectrum);
  return runEffectJob(sound, start, end, job, progress);
}
