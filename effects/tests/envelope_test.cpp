#include <gtest/gtest.h>

#include "effects/amplitude_effects.h"
#include "effects/tests/effect_test_support.h"
#include "sys/folders.h"

using namespace effecttest;

namespace {

class Envelope : public ::testing::Test {
 protected:
  testkit::ScratchFolder scratch;
};

TEST_F(Envelope, FadeInEndsAtExactlyUnityOnTheLastFrameWithOneGainPerFrame) {
  // Mono, 1,000 frames of a constant: the last frame is the input itself.
  SoundBuffer mono = soundFrom(std::vector<Sample>(1000, 300000));
  ASSERT_EQ(fadeIn(mono, 0, 1000), JobResult::Done);
  std::vector<Sample> faded = samplesOf(mono);
  EXPECT_EQ(faded.front(), 0);
  EXPECT_EQ(faded.back(), 300000);
  for (size_t f = 1; f < faded.size(); ++f) ASSERT_GE(faded[f], faded[f - 1]) << f;
  // Stereo: both channels of a frame carry the same gain.
  std::vector<Sample> stereo(2 * 5000);
  for (size_t f = 0; f < 5000; ++f) stereo[2 * f] = stereo[2 * f + 1] = 400000;
  SoundBuffer pair = soundFrom(stereo, 2);
  ASSERT_EQ(fadeOut(pair, 0, 5000), JobResult::Done);
  std::vector<Sample> out = samplesOf(pair);
  EXPECT_EQ(out[0], 400000);
  EXPECT_EQ(out[2 * 4999], 0);
  for (size_t f = 0; f < 5000; ++f) ASSERT_EQ(out[2 * f], out[2 * f + 1]) << f;
  // One frame: a fade lands on its end level at once.
  SoundBuffer single = soundFrom({1000});
  ASSERT_EQ(fadeIn(single, 0, 1), JobResult::Done);
  EXPECT_EQ(samplesOf(single).front(), 1000);
}

TEST_F(Envelope, FollowsThePiecewiseLinearCurveOnNoise) {
  ZED_REQUIRE_TOOL("sox");
  SoundBuffer sound = makeMaterial(scratch, "noise.wav",
                                   "sox -V1 -n -r 44100 -c 2 -b 16 " + scratch.file("noise.wav") +
                                       " synth 1 whitenoise gain -3");
  const std::vector<Sample> before = samplesOf(sound);
  const int32_t start = 4410, end = 40000, length = end - start;
  // A curve with two points on one frame (a jump) and one above unity.
  const EnvelopeCurve curve{{{0, 128}, {100, 0}, {100, 255}, {200, 64}, {255, 64}}};
  ASSERT_EQ(applyEnvelope(sound, start, end, curve), JobResult::Done);
  const std::vector<Sample> after = samplesOf(sound);
  ASSERT_EQ(after.size(), before.size());
  // The expected gain worked out directly: positions as fractions of the
  // last selected frame, levels over 128, linear in between.
  auto expectedGain = [&](double frame) {
    const double at = frame / (length - 1) * 255;
    if (at < 100) return (1.0 - at / 100) * 1.0 + at / 100 * 0.0;
    if (at < 200) return 255.0 / 128 + (at - 100) / 100 * (64.0 / 128 - 255.0 / 128);
    return 0.5;
  };
  const double jumpFrame = (length - 1) * 100.0 / 255;
  for (size_t f = 0; f < before.size() / 2; ++f) {
    for (int c = 0; c < 2; ++c) {
      const size_t i = 2 * f + c;
      const bool selected = f >= static_cast<size_t>(start) && f < static_cast<size_t>(end);
      const double into = static_cast<double>(f) - start;
      if (selected && std::abs(into - jumpFrame) <= 1) continue;  // the jump lands on a whole frame
      const double gain = selected ? expectedGain(into) : 1.0;
      // Points land on whole frames: two frames' worth of the steepest slope.
      const double slack = selected ? 2 * 1.5 * 255 / (100.0 * (length - 1)) * std::abs(before[i]) + 2 : 0;
      ASSERT_NEAR(after[i], before[i] * gain, slack) << "frame " << f;
    }
  }
}

TEST_F(Envelope, EnvelopeFileReadsCountsAbove63As64AndRaisesDecreasingPositions) {
  std::vector<uint8_t> bytes{200};
  for (int i = 0; i < 200; ++i) {
    bytes.push_back(static_cast<uint8_t>(i == 10 ? 3 : i));  // point 10 goes back
    bytes.push_back(static_cast<uint8_t>(i + 1));
  }
  ASSERT_TRUE(testkit::writeAll(envelopeFilePath(scratch.path()), bytes));
  EnvelopeCurve curve = loadEnvelopeFile(scratch.path());
  ASSERT_EQ(curve.points.size(), 64u);
  EXPECT_EQ(curve.points[10].position, 9);
  EXPECT_EQ(curve.points[10].level, 11);
  EXPECT_EQ(curve.points[63].position, 63);
  EXPECT_EQ(curve.points[63].level, 64);
  // Written back as a count of 64 and 128 bytes of pairs.
  ASSERT_TRUE(saveEnvelopeFile(scratch.path(), curve));
  std::vector<uint8_t> saved = testkit::readAll(envelopeFilePath(scratch.path()));
  ASSERT_EQ(saved.size(), 129u);
  EXPECT_EQ(saved[0], 64);
  // A file cut short keeps its whole pairs.
  ASSERT_TRUE(testkit::writeAll(envelopeFilePath(scratch.path()), {5, 0, 10, 255, 20, 7}));
  EXPECT_EQ(loadEnvelopeFile(scratch.path()).points.size(), 2u);
}

TEST_F(Envelope, AMissingFileOrACountOfZeroGivesTheFlatCurveSavedAtOnce) {
  for (bool exists : {false, true}) {
    testkit::ScratchFolder folder;
    if (exists) {
      ASSERT_TRUE(testkit::writeAll(envelopeFilePath(folder.path()), {0}));
    }
    EXPECT_EQ(envelopeBytes(loadEnvelopeFile(folder.path())), (std::vector<uint8_t>{2, 0, 128, 255, 128}));
    EXPECT_EQ(testkit::readAll(envelopeFilePath(folder.path())), (std::vector<uint8_t>{2, 0, 128, 255, 128}));
  }
  // Fewer than two points do nothing; the flat curve changes no sample.
  SoundBuffer sound = soundFrom(std::vector<Sample>(3000, -77777));
  ASSERT_EQ(applyEnvelope(sound, 0, 3000, EnvelopeCurve{{{0, 0}}}), JobResult::Done);
  ASSERT_EQ(applyEnvelope(sound, 0, 3000, flatEnvelope()), JobResult::Done);
  EXPECT_EQ(samplesOf(sound), std::vector<Sample>(3000, -77777));
}

TEST_F(Envelope, FadeOutAndTrimRemovesEverythingAfterTheSelection) {
  SoundBuffer sound = soundFrom(std::vector<Sample>(20000, 50000));
  ASSERT_EQ(fadeOutAndTrim(sound, 5000, 15000), JobResult::Done);
  ASSERT_EQ(sound.totalFrames(), 15000);
  std::vector<Sample> after = samplesOf(sound);
  EXPECT_EQ(after[4999], 50000);
  EXPECT_EQ(after[5000], 50000);
  EXPECT_EQ(after[14999], 0);
  CancelAfter cancel(0);
  EXPECT_EQ(fadeOutAndTrim(sound, 0, 100, &cancel), JobResult::Cancelled);
  EXPECT_EQ(sound.totalFrames(), 15000);
}

}  // namespace
