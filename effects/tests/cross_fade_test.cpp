#include <gtest/gtest.h>

#include "effects/amplitude_effects.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

class CrossFade : public ::testing::Test {
 protected:
  testkit::ScratchFolder scratch;
};

TEST_F(CrossFade, LeadAndLengthsFollowTheTimes) {
  // Gap 0, 300 ms each way at 44,100 Hz: the join starts 13,230 frames
  // (300 ms) before the selection start.
  CrossFadeLayout layout = crossFadeLayout(100000, 200000, 44100, {0, 300, 300});
  EXPECT_EQ(layout.lead, 13230);
  EXPECT_EQ(layout.joinStart, 100000 - 13230);
  EXPECT_EQ(layout.secondStart, 200000 - 13230);
  EXPECT_EQ(layout.outputFrames, 2 * 13230);
  EXPECT_EQ(layout.replacedEnd, 200000 + 13230);
  // A gap longer than the fade in: no lead, the end lands a gap after the start.
  layout = crossFadeLayout(100000, 200000, 8000, {500, 250, 1000});
  EXPECT_EQ(layout.lead, 0);
  EXPECT_EQ(layout.gap, 4000);
  EXPECT_EQ(layout.secondStart, 196000);
  EXPECT_EQ(layout.outputFrames, 8000);
  // Negative times count as 0; a minute at 96 kHz does not overflow.
  layout = crossFadeLayout(0, 0, 96000, {-5, 60000, -300});
  EXPECT_EQ(layout.gap, 0);
  EXPECT_EQ(layout.fadeOut, 0);
  EXPECT_EQ(layout.fadeIn, 5760000);
  EXPECT_EQ(layout.lead, 5760000);
}

TEST_F(CrossFade, MixesTheTwoStreamsWithLinearGainsAndRemovesTheSelection) {
  ZED_REQUIRE_TOOL("sox");
  SoundBuffer sound = makeMaterial(scratch, "pair.wav",
                                   "sox -V1 -n -r 8000 -c 2 -b 16 " + scratch.file("pair.wav") +
                                       " synth 2 sine 440 whitenoise gain -6");
  const std::vector<Sample> before = samplesOf(sound);
  const int32_t total = sound.totalFrames(), start = 5000, end = 11000;
  const CrossFadeParams params{100, 250, 150};  // frames: gap 800, fade in 2000, fade out 1200
  ASSERT_EQ(crossFade(sound, start, end, params), JobResult::Done);
  const int64_t gap = 800, fadeIn = 2000, fadeOut = 1200, lead = fadeIn - gap;
  ASSERT_EQ(sound.totalFrames(), total - (end - start) + gap);
  const std::vector<Sample> after = samplesOf(sound);
  const int64_t outputFrames = std::max(lead + gap, lead + fadeOut);
  for (int64_t frame = 0; frame < sound.totalFrames(); ++frame) {
    for (int c = 0; c < 2; ++c) {
      double expected;
      if (frame < start - lead) {
        expected = before[2 * frame + c];
      } else if (frame < start - lead + outputFrames) {
        const double k = static_cast<double>(frame - (start - lead));
        const double gainA = k <= lead ? 1.0 : std::max(0.0, 1.0 - (k - lead) / fadeOut);
        const double gainB = k >= lead + gap ? 1.0 : std::max(0.0, (k - (lead + gap - fadeIn)) / fadeIn);
        expected = before[2 * (start - lead + static_cast<int64_t>(k)) + c] * gainA +
                   before[2 * (end - lead - gap + static_cast<int64_t>(k)) + c] * gainB;
      } else {
        // The rest follows from where the second stream stopped.
        expected = before[2 * (frame - (start - lead) + end - lead - gap) + c];
      }
      ASSERT_NEAR(after[2 * frame + c], expected, 6.0) << "frame " << frame << " channel " << c;
    }
  }
}

TEST_F(CrossFade, AJoinThatWouldStartBeforeTheSoundStartsAtItsFirstFrame) {
  SoundBuffer sound = soundFrom(std::vector<Sample>(8000, 1000), 1, 8000);
  ASSERT_EQ(crossFade(sound, 500, 4000, {0, 200, 200}), JobResult::Done);  // lead 1,600 > 500
  EXPECT_EQ(sound.totalFrames(), 8000 - 3500);
  const std::vector<Sample> after = samplesOf(sound);
  // The first 1,100 output frames are dropped; the rest keep their gains.
  for (size_t frame = 0; frame < after.size(); ++frame) {
    const double k = frame + 1100.0;
    const double gains = (k <= 1600 ? 1.0 : std::max(0.0, 1 - (k - 1600) / 1600)) + std::min(1.0, k / 1600);
    ASSERT_NEAR(after[frame], frame < 2100 ? 1000 * gains : 1000, 2) << frame;
  }
  // Cancelled: unchanged.
  CancelAfter cancel(0);
  EXPECT_EQ(crossFade(sound, 1000, 2000, {}, &cancel), JobResult::Cancelled);
  EXPECT_EQ(sound.totalFrames(), 4500);
}

}  // namespace
