#include <gtest/gtest.h>

#include <cstdio>

#include "effects/amplitude_effects.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

class AmplifyAndNormalize : public ::testing::Test {
 protected:
  testkit::ScratchFolder scratch;
};

TEST_F(AmplifyAndNormalize, AmplifyScalesOnlyTheSelectionBySpanGains) {
  std::vector<Sample> samples(3000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<Sample>(i * 97 % 2001) - 1000;
  struct Row {
    int32_t percent;
    double factor;
  };
  for (Row row : {Row{100, 1.0}, Row{0, 0.0}, Row{-100, -1.0}, Row{150, 1.5}, Row{25, 0.25}, Row{400, 4.0}}) {
    SoundBuffer sound = soundFrom(samples);
    const BlockNumber block = sound.spans().front().block();
    amplify(sound, 1000, 2000, {row.percent});
    for (const auto& span : sound.spans()) EXPECT_EQ(span.block(), block);  // no sample rewritten
    std::vector<Sample> after = samplesOf(sound);
    for (size_t i = 0; i < samples.size(); ++i) {
      const double expected = (i >= 1000 && i < 2000) ? samples[i] * row.factor : samples[i];
      ASSERT_NEAR(after[i], expected, 1.0) << row.percent << " at " << i;
    }
  }
}

TEST_F(AmplifyAndNormalize, NormalizeBringsThePeakThatSoxMeasuresToTheLevel) {
  ZED_REQUIRE_TOOL("sox");
  const std::string file = scratch.file("tone.wav");
  SoundBuffer sound = makeMaterial(scratch, "tone.wav",
                                   "sox -V1 -n -r 44100 -c 2 -b 16 " + file + " synth 3 sine 440 pinknoise gain -12");
  // sox reports the extremes as fractions of 32,768.
  const std::string stat = testkit::toolOutput("sox " + file + " -n stat 2>&1");
  double maximum = 0, minimum = 0;
  ASSERT_EQ(std::sscanf(stat.substr(stat.find("Maximum amplitude:")).c_str(), "Maximum amplitude: %lf", &maximum), 1);
  ASSERT_EQ(std::sscanf(stat.substr(stat.find("Minimum amplitude:")).c_str(), "Minimum amplitude: %lf", &minimum), 1);
  const double soxPeak = std::max(maximum, -minimum) * 32768 * 16;
  int64_t scanned = 0;
  ASSERT_EQ(scanPeak(sound, 0, sound.totalFrames(), scanned), JobResult::Done);
  EXPECT_NEAR(static_cast<double>(scanned), soxPeak, 16.0);

  ASSERT_EQ(normalize(sound, 0, sound.totalFrames(), {75}), JobResult::Done);
  // The reader applies span gains in steps of 1/512: within 0.2 %.
  const double expected = static_cast<double>(scanned) * (75 * 524272 / scanned) / 100;
  EXPECT_NEAR(peak(samplesOf(sound)), expected, expected * 0.002);
  EXPECT_NEAR(peak(samplesOf(sound)), 0.75 * 524272, 0.01 * 524272);
}

TEST_F(AmplifyAndNormalize, NormalizeEdgeCases) {
  // Silence: nothing changes, not even the spans.
  SoundBuffer silent = soundFrom(std::vector<Sample>(5000, 0));
  ASSERT_EQ(normalize(silent, 0, 5000, {100}), JobResult::Done);
  EXPECT_EQ(silent.spans().size(), 1u);
  EXPECT_EQ(silent.spans().front().gain(), kUnityGain);
  // A peak of 524,272 at level 100 is 100 %; the most negative sample counts.
  EXPECT_EQ(normalizePercent(524272, 100), 100);
  EXPECT_EQ(normalizePercent(524272 / 2, 100), 200);
  EXPECT_EQ(normalizePercent(1, 100), 400);
  EXPECT_EQ(normalizePercent(0, 100), 100);
  SoundBuffer negative = soundFrom({0, -524272, 100, 0});
  ASSERT_EQ(normalize(negative, 0, 4, {50}), JobResult::Done);
  EXPECT_EQ(samplesOf(negative)[1], -262136);
  // A cancelled scan changes nothing.
  CancelAfter cancel(0);
  SoundBuffer quiet = soundFrom(std::vector<Sample>(5000, 100));
  EXPECT_EQ(normalize(quiet, 0, 5000, {100}, &cancel), JobResult::Cancelled);
  EXPECT_EQ(quiet.spans().front().gain(), kUnityGain);
}

}  // namespace
