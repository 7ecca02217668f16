#include "effects/real_fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

// Against the defining sum, for the smallest size and those the stretcher
// uses, and back again.
TEST(RealFftTest, MatchesTheDefiningSumAndInvertsIt) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> value(-1, 1);
  for (int size : {8, 16, 64, 256, 2048, 4096}) {
    RealFft fft(size);
    ASSERT_EQ(fft.bins(), size / 2 + 1);
    std::vector<float> frame(size), re(fft.bins()), im(fft.bins()), back(size);
    for (float& v : frame) v = value(random);
    fft.forward(frame.data(), re.data(), im.data());
    double worst = 0;
    for (int k = 0; k < fft.bins(); ++k) {
      double sumRe = 0, sumIm = 0;
      for (int t = 0; t < size; ++t) {
        const double angle = 2 * std::numbers::pi * static_cast<double>(k) * t / size;
        sumRe += frame[t] * std::cos(angle);
        sumIm -= frame[t] * std::sin(angle);
      }
      worst = std::max(worst, std::hypot(sumRe - re[k], sumIm - im[k]));
    }
    EXPECT_LT(worst, 1e-5 * size) << size;
    fft.inverse(re.data(), im.data(), back.data());
    for (int t = 0; t < size; ++t) ASSERT_NEAR(back[t] / size, frame[t], 1e-5) << size << " at " << t;
  }
}
