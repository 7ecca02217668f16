#include "effects/high_pass_biquad.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "effects/decibels.h"

namespace {

// 1 / (2 Q) for Q = 0.707.
constexpr double kHalfInverseQ = 0.7072135785007072;

int32_t fixed(double coefficient) { return static_cast<int32_t>(coefficient * kUnityGain); }

}  // namespace

HighPassBiquad::HighPassBiquad(int32_t cornerHz, int32_t sampleRate, int channels)
    : m_states(static_cast<size_t>(channels > 0 ? channels : 1)) {
  const double rate = sampleRate > 0 ? sampleRate : 44100;
  const double corner = std::min(cornerHz > 0 ? static_cast<double>(cornerHz) : 10.0, rate / 2);
  const double w = 2 * std::numbers::pi * corner / rate;
  const double alpha = std::sin(w) * kHalfInverseQ;
  const double a0 = 1 + alpha;
  m_b0 = fixed((1 + std::cos(w)) / 2 / a0);
  m_b1 = -2 * m_b0;
  m_a1 = fixed(-2 * std::cos(w) / a0);
  m_a2 = fixed((1 - alpha) / a0);
}

Sample HighPassBiquad::filter(int channel, Sample input) {
  State& s = m_states[static_cast<size_t>(channel)];
  const double y = (static_cast<double>(m_b0) * input + static_cast<double>(m_b1) * s.x1 +
                    static_cast<double>(m_b0) * s.x2 - static_cast<double>(m_a1) * s.y1 -
                    static_cast<double>(m_a2) * s.y2) /
                   kUnityGain;
  s.x2 = s.x1;
  s.x1 = input;
  s.y2 = s.y1;
  s.y1 = y;
  return clampToInt32(std::llround(std::clamp(y, -4e18, 4e18)));
}

void HighPassBiquad::reset() {
  for (State& s : m_states) s = State{};
}
