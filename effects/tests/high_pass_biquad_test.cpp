#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "effects/high_pass_biquad.h"

namespace {

// The magnitude of the second-order high-pass with Q = 0.707 at frequency f,
// from its analog prototype s^2 / (s^2 + s / Q + 1) through the bilinear
// transform with the corner prewarped, worked out here on its own.
double expectedGain(double f, double corner, double rate) {
  const double warped = std::tan(std::numbers::pi * f / rate) / std::tan(std::numbers::pi * corner / rate);
  const std::complex<double> s(0, warped);
  return std::abs(s * s / (s * s + s / 0.7071 + 1.0));
}

double measuredGain(double f, int32_t corner, int32_t rate) {
  HighPassBiquad filter(corner, rate, 2);
  const double amplitude = 200000;
  double in = 0, out = 0;
  for (int n = 0; n < rate; ++n) {
    const auto x = static_cast<Sample>(std::lround(amplitude * std::sin(2 * std::numbers::pi * f * n / rate)));
    const Sample y = filter.filter(1, x);
    if (n >= rate / 2) in += double(x) * x, out += double(y) * y;
  }
  return std::sqrt(out / in);
}

TEST(HighPassBiquad, FollowsTheSecondOrderResponseAndRemovesDc) {
  for (double f : {100.0, 500.0, 1500.0, 3000.0, 10000.0}) {
    SCOPED_TRACE(f);
    // Coefficients truncated to 2^-24 and truncating multiplies: exact to a
    // tenth of a decibel where it passes, less deep down in the stop band.
    const double expected = 20 * std::log10(expectedGain(f, 1500, 44100));
    EXPECT_NEAR(20 * std::log10(measuredGain(f, 1500, 44100)), expected, expected > -30 ? 0.1 : 0.5);
  }
  HighPassBiquad filter(1500, 44100, 1);
  Sample last = 0;
  for (int n = 0; n < 2000; ++n) last = filter.filter(0, 400000);
  EXPECT_LE(std::abs(last), 40);  // below -80 dB of the step
  // Corner and rate of 0 or less fall back to 10 Hz and 44,100 Hz.
  HighPassBiquad fallback(0, 0, 1), explicitOnes(10, 44100, 1);
  EXPECT_EQ(fallback.b0(), explicitOnes.b0());
  EXPECT_EQ(fallback.a1(), explicitOnes.a1());
}

}  // namespace
