#include <algorithm>
#include <cmath>

#include "effects/noise_reduction.h"

// The gain of each bin follows its signal-to-noise ratio as a Wiener gain,
// ratio / (1 + ratio). The ratio is not taken from the frame alone: it leans
// on the previous frame's cleaned power (the decision-directed estimate), so
// that a bin where noise happens to peak for one frame is not let through
// for that frame alone, which is what turns left-over noise into chirps.
// Gains are then averaged with their neighbours in frequency and never fall
// below a floor, so that what is left of the noise keeps its character.

namespace {

constexpr float kPreviousWeight = 0.98f;   // of the previous frame's cleaned power in the ratio
constexpr float kOverSubtraction = 1.4f;   // noise taken as this much louder than measured
constexpr float kGainFloor = 0.08f;        // about -22 dB
constexpr float kSmallestRatio = 1e-3f;

class NoiseSuppressor final : public SpectrumModifier {
 public:
  explicit NoiseSuppressor(const NoiseSpectrum& noise) : m_noise(noise.power) {
    const size_t bins = static_cast<size_t>(noise.layout.bins());
    for (auto& power : m_noise) {
      power.resize(bins, 0.0f);
      for (float& p : power) p *= kOverSubtraction;
    }
    m_cleaned.assign(m_noise.size(), std::vector<float>(bins, 0.0f));
    m_gain.resize(bins);
  }

  void modify(int channel, float* re, float* im) override {
    if (static_cast<size_t>(channel) >= m_noise.size()) return;
    const std::vector<float>& noise = m_noise[static_cast<size_t>(channel)];
    std::vector<float>& cleaned = m_cleaned[static_cast<size_t>(channel)];
    const size_t bins = noise.size();
    for (size_t k = 0; k < bins; ++k) {
      if (noise[k] <= 0) {
        m_gain[k] = 1;
        continue;
      }
      const float power = re[k] * re[k] + im[k] * im[k];
      const float posterior = power / noise[k];
      const float prior = std::max(kPreviousWeight * cleaned[k] / noise[k] +
                                       (1 - kPreviousWeight) * std::max(posterior - 1, 0.0f),
                                   kSmallestRatio);
      m_gain[k] = prior / (1 + prior);
    }
    float before = m_gain[0];
    for (size_t k = 0; k < bins; ++k) {
      const float here = m_gain[k], after = k + 1 < bins ? m_gain[k + 1] : here;
      const float gain = std::max((before + 2 * here + after) * 0.25f, kGainFloor);
      before = here;
      const float power = re[k] * re[k] + im[k] * im[k];
      cleaned[k] = gain * gain * power;
      re[k] *= gain;
      im[k] *= gain;
    }
  }

 private:
  std::vector<std::vector<float>> m_noise;    // [channel][bin], over-subtracted
  std::vector<std::vector<float>> m_cleaned;  // previous frame's cleaned power
  std::vector<float> m_gain;
};

}  // namespace

SampleSourceRef noiseSuppressedSource(SampleSourceRef input, const NoiseSpectrum& noise) {
  auto suppressor = std::make_unique<NoiseSuppressor>(noise);
  return makeRef<SpectralFilterSource>(std::move(input), noise.layout, std::move(suppressor));
}
