#include <gtest/gtest.h>

#include "effects/amplitude_effects.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

class ChannelEffects : public ::testing::Test {
 protected:
  SoundBuffer stereoMaterial(const std::string& name, const std::string& effects) {
    return makeMaterial(scratch, name,
                        "sox -V1 -n -r 22050 -c 2 -b 16 " + scratch.file(name) + " synth 1.5 sine 440 pinknoise " +
                            effects);
  }
  testkit::ScratchFolder scratch;
};

TEST_F(ChannelEffects, StereoPanScalesEachSideByItsRoundedDecibelGain) {
  ZED_REQUIRE_TOOL("sox");
  // Worked out: p = 0: left sqrt(2) = +3 dB, right silence; p = 0.75:
  // left sqrt(0.5) = -3.01 -> -3 dB, right sqrt(1.5) = +1.76 -> +2 dB.
  struct Row {
    int32_t pan;
    double left, right;
  };
  for (Row row : {Row{0, 1.4125375, 0.0}, Row{50, 1.0, 1.0}, Row{75, 0.7079458, 1.2589254}, Row{100, 0.0, 1.4125375}}) {
    SoundBuffer sound = stereoMaterial("pan.wav", "gain -6");
    const std::vector<Sample> before = samplesOf(sound);
    ASSERT_EQ(stereoPan(sound, 0, sound.totalFrames(), {row.pan}), JobResult::Done);
    const std::vector<Sample> after = samplesOf(sound);
    for (size_t f = 0; f < before.size() / 2; ++f) {
      ASSERT_NEAR(after[2 * f], before[2 * f] * row.left, 3.0) << row.pan << " frame " << f;
      ASSERT_NEAR(after[2 * f + 1], before[2 * f + 1] * row.right, 3.0) << row.pan << " frame " << f;
    }
    if (row.pan == 50) {
      EXPECT_EQ(after, before);
    }
  }
  ChannelMatrix matrix = stereoPanMatrix(0);
  EXPECT_EQ(matrix.rows, (std::vector<std::vector<int8_t>>{{3, -127}, {-127, -127}}));
  // Mono: refused, nothing changed.
  SoundBuffer mono = soundFrom(std::vector<Sample>(100, 9));
  EXPECT_EQ(stereoPan(mono, 0, 100, {0}), JobResult::Failed);
  EXPECT_EQ(samplesOf(mono), std::vector<Sample>(100, 9));
}

TEST_F(ChannelEffects, DcOffsetRemovesEachChannelsMean) {
  // A constant becomes silence.
  SoundBuffer constant = soundFrom(std::vector<Sample>(30000, -4321));
  ASSERT_EQ(dcOffsetCorrection(constant, 0, 30000), JobResult::Done);
  EXPECT_EQ(samplesOf(constant), std::vector<Sample>(30000, 0));

  ZED_REQUIRE_TOOL("sox");
  SoundBuffer sound = stereoMaterial("dc.wav", "gain -12 dcshift 0.1");
  const std::vector<Sample> before = samplesOf(sound);
  const size_t frames = before.size() / 2;
  double sums[2] = {0, 0};
  for (size_t f = 0; f < frames; ++f) sums[0] += before[2 * f], sums[1] += before[2 * f + 1];
  ASSERT_GT(sums[0] / frames, 0.09 * 524288);  // the shift is there to remove
  ASSERT_EQ(dcOffsetCorrection(sound, 0, sound.totalFrames()), JobResult::Done);
  const std::vector<Sample> after = samplesOf(sound);
  for (int c = 0; c < 2; ++c) {
    double mean = 0;
    for (size_t f = 0; f < frames; ++f) mean += after[2 * f + c];
    EXPECT_NEAR(mean / frames, 0.0, 1.0) << c;
    const auto offset = static_cast<Sample>(sums[c] / frames);
    for (size_t f = 0; f < frames; f += 997) ASSERT_EQ(after[2 * f + c], before[2 * f + c] - offset);
  }
}

TEST_F(ChannelEffects, ReverseMatchesSoxAndOnlyTouchesTheSelection) {
  ZED_REQUIRE_TOOL("sox");
  // Not a multiple of the chunk size, so the last chunk is a short one.
  SoundBuffer sound = stereoMaterial("fwd.wav", "gain -3 trim 0 1.2345");
  ASSERT_EQ(testkit::runTool("sox " + scratch.file("fwd.wav") + " " + scratch.file("rev.wav") + " reverse"), 0);
  SoundBuffer reference = makeMaterial(scratch, "rev.wav", "true");
  ASSERT_EQ(reverse(sound, 0, sound.totalFrames()), JobResult::Done);
  EXPECT_EQ(samplesOf(sound), samplesOf(reference));

  std::vector<Sample> frames(2 * 20000);
  for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<Sample>(i);
  SoundBuffer ramp = soundFrom(frames, 2);
  ASSERT_EQ(reverse(ramp, 3, 19000), JobResult::Done);
  const std::vector<Sample> after = samplesOf(ramp);
  for (size_t f = 0; f < 20000; ++f) {
    const size_t source = f >= 3 && f < 19000 ? 3 + 18999 - f : f;
    ASSERT_EQ(after[2 * f], frames[2 * source]) << f;
    ASSERT_EQ(after[2 * f + 1], frames[2 * source + 1]) << f;
  }
}

}  // namespace
