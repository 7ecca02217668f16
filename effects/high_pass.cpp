#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// 1 / (2 Q) for Q = 0.707.
constexpr double kHalfInverseQ = 0.7072135785007072;
constexpr double kUnity = 16777216.0;

int32_t fixedPoint(double value) { return static_cast<int32_t>(std::trunc(value * kUnity)); }


// Direct form I on the fixed-point coefficients; state per channel. The
// feedback state keeps its fraction: rounding it to whole samples (worse,
// truncating it as the split multiply of the level effects does) is
// multiplied by the loop's gain at DC, which for low corners is in the
// thousands, and leaves an offset or a stuck tone instead of silence: at
// 10 Hz an offset beyond full scale.
class BiquadSource final : public KernelSource {
 public:
  BiquadSource(SampleSourceRef input, const BiquadCoefficients& k)
      : KernelSource(std::move(input)), m_k(k), m_state(channels()) {}

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const int channelCount = channels();
    for (int32_t f = 0; f < frames; ++f) {
      for (int c = 0; c < channelCount; ++c, ++samples) {
        State& s = m_state[c];
        const Sample x = *samples;
        const double y = (static_cast<double>(m_k.b0) * x + static_cast<double>(m_k.b1) * s.x1 +
                          static_cast<double>(m_k.b2) * s.x2 - m_k.a1 * s.y1 - m_k.a2 * s.y2) /
                         kUnity;
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
        *samples = clampToInt32(std::llround(std::clamp(y, -4e18, 4e18)));
      }
    }
  }

 private:
  struct State {
    Sample x1 = 0, x2 = 0;
    double y1 = 0, y2 = 0;
  };
  BiquadCoefficients m_k;
  std::vector<State> m_state;
};

}  // namespace

BiquadCoefficients highPassCoefficients(int32_t frequency, int32_t sampleRate) {
  const double rate = sampleRate > 0 ? sampleRate : 44100;
  // A corner at or above half the rate would fold back to a low one: the
  // highest corner there is, half the rate, passes nothing.
  const double corner = std::min(frequency > 0 ? static_cast<double>(frequency) : 10.0, rate / 2);
  const double w = 2 * kPi * corner / rate;
  const double alpha = std::sin(w) * kHalfInverseQ, a0 = 1 + alpha, cosine = std::cos(w);
  BiquadCoefficients k;
  // b1 = -2 b0 exactly, so that the zeros stay at DC and a constant goes to nothing.
  k.b0 = k.b2 = fixedPoint((1 + cosine) / 2 / a0);
  k.b1 = -2 * k.b0;
  k.a1 = fixedPoint(-2 * cosine / a0);
  k.a2 = fixedPoint((1 - alpha) / a0);
  return k;
}

JobResult highPass(SoundBuffer& sound, int32_t start, int32_t end, const HighPassParams& params,
                   ProgressCallback* progress) {
  const BiquadCoefficients k = highPassCoefficients(params.LowCutFreq, sound.sampleRate());
  return runFilter(sound, start, end, kHighPassJobName, [&](SampleSourceRef input) -> SampleSourceRef {
    return makeRef<BiquadSource>(std::move(input), k);
  }, progress);
}
