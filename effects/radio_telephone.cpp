// The two effects that imitate a narrow line: the AM radio's pair of
// one-pole filters and the telephone's band of the equalizer, each followed
// by the same light distortion.

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"
#include "effects/filter_stages.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// k = truncate((1 - exp(-2 pi f / R)) * 256): the share of the distance to
// the input that the accumulator moves per sample, in 256ths.
int64_t onePoleFactor(double frequency, int32_t rate) {
  return static_cast<int64_t>(std::trunc((1 - std::exp(-2 * kPi * frequency / rate)) * 256));
}

// One-pole high-pass (y = x - s / 256, s += k y) or low-pass
// (s += k (x - s / 256), y = s / 256); accumulators per channel.
class OnePoleSource final : public KernelSource {
 public:
  OnePoleSource(SampleSourceRef input, double frequency, bool highPass)
      : KernelSource(std::move(input)), m_factor(onePoleFactor(frequency, sampleRate())), m_highPass(highPass),
        m_sum(channels(), 0) {}

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const int channelCount = channels();
    for (int32_t f = 0; f < frames; ++f) {
      for (int c = 0; c < channelCount; ++c, ++samples) {
        int64_t& s = m_sum[c];
        if (m_highPass) {
          const Sample y = clampToInt32(*samples - (s >> 8));
          s += m_factor * y;
          *samples = y;
        } else {
          s += m_factor * (*samples - (s >> 8));
          *samples = clampToInt32(s >> 8);
        }
      }
    }
  }

 private:
  int64_t m_factor;
  bool m_highPass;
  std::vector<int64_t> m_sum;
};

int32_t rateOrDefault(int32_t rate) { return rate > 0 ? rate : 44100; }

}  // namespace

JobResult amRadio(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  return runFilter(sound, start, end, kAmRadioName, [](SampleSourceRef input) {
    SampleSourceRef highPassed = makeRef<OnePoleSource>(std::move(input), 100.0, true);
    SampleSourceRef lowPassed = makeRef<OnePoleSource>(std::move(highPassed), 5000.0, false);
    return distortionStage(std::move(lowPassed), lineDistortionCurve());
  }, progress);
}

EqualizerTable telephoneTable(int32_t sampleRate) {
  const int64_t half = rateOrDefault(sampleRate) / 2;
  const int64_t low = std::min<int64_t>(614400 / half, kEqualizerBins - 1);
  const int64_t high = std::min<int64_t>(7372800 / half, kEqualizerBins - 1);
  EqualizerTable table{};
  for (int64_t bin = low; bin <= high; ++bin) table[bin] = 100;
  return table;
}

JobResult telephone(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  const EqualizerTable table = telephoneTable(sound.sampleRate());
  return runFilter(sound, start, end, kTelephoneName, [&](SampleSourceRef input) {
    return distortionStage(equalizerStage(std::move(input), table), lineDistortionCurve());
  }, progress);
}
