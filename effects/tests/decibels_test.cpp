#include "effects/decibels.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(Decibels, TablesHoldRoundedPowersOfTenCappedAndSilentAtTheBottom) {
  struct Row {
    int decibels;
    int32_t gain;
  };
  // Worked out as 10^(d/20) * 2^24 + 0.5, truncated.
  for (Row row : {Row{0, 16777216}, Row{-6, 8408526}, Row{-20, 1677722}, Row{3, 23698447}, Row{42, 2112126356},
                  Row{43, INT32_MAX}, Row{127, INT32_MAX}, Row{-126, 8}, Row{-127, 0}, Row{-128, 0}, Row{-500, 0},
                  Row{500, INT32_MAX}})
    EXPECT_EQ(decibelGain(row.decibels), row.gain) << row.decibels;
  EXPECT_EQ(decibelPower(-3), 8408526);
  EXPECT_EQ(decibelPower(21), 2112126356);
  EXPECT_EQ(decibelPower(22), INT32_MAX);
  EXPECT_EQ(DecibelGainTable()[0], 0);  // -128
}

TEST(Decibels, GainsRoundHalfAwayFromUnityAndClamp) {
  struct Row {
    int64_t gain;
    int decibels;
  };
  for (Row row : {Row{0, -127}, Row{-5, -127}, Row{16777216, 0}, Row{23726566, 3},  // sqrt 2: 3.01 dB
                  Row{16777216 / 2, -6}, Row{1, -127}, Row{int64_t{16777216} * 100000000, 127},
                  Row{17771329, 1}, Row{17771328, 0}})  // 10^(0.5/20) * 2^24 = 17771328.5
    EXPECT_EQ(gainToDecibels(row.gain), row.decibels) << row.gain;
}

TEST(Decibels, SplitMultiplyIsExactAtUnityAndOtherwiseWithinThreeStepsBelowTheProduct) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int32_t> samples(-(1 << 21), 1 << 21);
  std::uniform_int_distribution<int32_t> gains(0, 1 << 27);
  for (int i = 0; i < 100000; ++i) {
    const Sample s = samples(random);
    const int32_t g = gains(random);
    EXPECT_EQ(scaleSample(s, kUnityGain), s);
    // Three truncations and the dropped low product: never above, less than 3 below.
    const double exact = static_cast<double>(s) * g / 16777216.0;
    ASSERT_LE(scaleSample(s, g), exact) << s << " * " << g;
    ASSERT_GT(scaleSample(s, g), exact - 3) << s << " * " << g;
  }
  // Far beyond full scale the result saturates instead of wrapping.
  EXPECT_EQ(scaleSample(INT32_MAX, INT32_MAX), INT32_MAX);
  EXPECT_EQ(scaleSample(INT32_MIN, INT32_MAX), INT32_MIN);
}

}  // namespace
