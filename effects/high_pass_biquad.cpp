#include "effects/high_pass_biquad.h"

#include <cmath>
#include <numbers>

#include "effects/decibels.h"

namespace {

// 1 / (2 Q) for Q = 0.707.
constexpr double kHalfInverseQ = 0.7072135785007072;

int32_t fixed(double coefficient) { return static_cast<int32_t>(coefficient * kUnityGain); }

// The gain multiply of a wide state value; the state is kept wide so that a
// filter ringing past the sample range saturates instead of wrapping.
int64_t times(int64_t value, int32_t coefficient) { return scaleSample(clampToInt32(value), coefficient); }

}  // namespace

HighPassBiquad::HighPassBiquad(int32_t cornerHz, int32_t sampleRate, int channels)
    : m_states(static_cast<size_t>(channels > 0 ? channels : 1)) {
  const double corner = cornerHz > 0 ? cornerHz : 10;
  const double rate = sampleRate > 0 ? sampleRate : 44100;
  const double w = 2 * std::numbers::pi * corner / rate;
  const double alpha = std::sin(w) * kHalfInverseQ;
  const double a0 = 1 + alpha;
  m_b0 = fixed((1 + std::cos(w)) / 2 / a0);
  m_b1 = fixed(-(1 + std::cos(w)) / a0);
  m_a1 = fixed(-2 * std::cos(w) / a0);
  m_a2 = fixed((1 - alpha) / a0);
}

Sample HighPassBiquad::filter(int channel, Sample input) {
  State& s = m_states[static_cast<size_t>(channel)];
  const int64_t y = times(input, m_b0) + times(s.x1, m_b1) + times(s.x2, m_b0) - times(s.y1, m_a1) -
                    times(s.y2, m_a2);
  s.x2 = s.x1;
  s.x1 = input;
  s.y2 = s.y1;
  s.y1 = clampToInt32(y);
  return clampToInt32(y);
}

void HighPassBiquad::reset() {
  for (State& s : m_states) s = State{};
}
