#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "effects/click_repair.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

constexpr int32_t kRate = 44100;

// A quiet low tone with a little hiss: what lies under the clicks.
std::vector<Sample> background(int32_t frames, int channels = 1) {
  std::mt19937 random(5);
  std::normal_distribution<double> hiss(0.0, 300.0);
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (int32_t n = 0; n < frames; ++n)
    for (int c = 0; c < channels; ++c)
      samples[static_cast<size_t>(n) * channels + c] =
          static_cast<Sample>(std::lround(20000 * std::sin(2 * std::numbers::pi * 200 * n / kRate) + hiss(random)));
  return samples;
}

// A click as a scratch or a dropout makes it: a burst that swings both ways
// and dies away over its length.
void addClick(std::vector<Sample>& samples, int channels, int channel, int32_t first, int32_t length, Sample height) {
  for (int32_t k = 0; k < length; ++k)
    samples[static_cast<size_t>(first + k) * channels + channel] +=
        static_cast<Sample>((k % 2 ? -1.0 : 1.0) * height * (length - k) / length);
}

// A level change: every frame of it the same.
void addStep(std::vector<Sample>& samples, int32_t first, int32_t length, Sample height) {
  for (int32_t k = 0; k < length; ++k) samples[static_cast<size_t>(first + k)] += height;
}

TEST(ClickRepairSizes, WindowLagAndLongestClickFollowTheRate) {
  EXPECT_EQ(clickWindowFrames(44100), 16 * 444);
  EXPECT_EQ(clickWindowFrames(8000), 16 * 84);
  EXPECT_EQ(clickWindowFrames(48000), 16 * 484);
  EXPECT_EQ(clickLagFrames(44100), 2);
  EXPECT_EQ(clickLagFrames(22050), 1);
  EXPECT_EQ(clickLagFrames(96000), 3);
  // Microseconds: 450 at 44,100 Hz allows 19 frames, 150 allows 6.
  EXPECT_EQ(maxClickFrames(44100, 450), 19);
  EXPECT_EQ(maxClickFrames(44100, 150), 6);
  EXPECT_EQ(maxClickFrames(44100, 0), 0);
  // Products that overflow 32 bits, and lengths beyond a quarter window.
  EXPECT_EQ(maxClickFrames(192000, 20000), 3840);
  EXPECT_EQ(maxClickFrames(192000, 1000000), clickWindowFrames(192000) / 4);
  EXPECT_EQ(maxClickFrames(44100, 1000000), clickWindowFrames(44100) / 4);
}

TEST(ClickRepairSizes, SensitivitySetsTheThresholds) {
  // Sensitivity 100: s = 1, the jump threshold is 0 (s / 10 = 0).
  EXPECT_EQ(clickThresholds(100, 1000, 300, 50).jump, 0);
  EXPECT_EQ(clickThresholds(100, 1000, 300, 50).level, 1000 / 50 + 300);
  // Sensitivity 0: s = 100.
  EXPECT_EQ(clickThresholds(0, 1000, 300, 50).level, 2000 + 300);
  EXPECT_EQ(clickThresholds(0, 1000, 300, 50).jump, (100 + 100 + 300) * 10);
  // 50: s = 50.
  EXPECT_EQ(clickThresholds(50, 1000, 300, 50).jump, (50 + 100 + 300) * 5);
  // Levels near full scale over long windows stay in 64 bits.
  EXPECT_EQ(clickThresholds(0, int64_t{1} << 40, 0, int64_t{1} << 40).jump, ((int64_t{1} << 41) + 100) * 10);
}

TEST(ClickRepairLine, RunsStraightBetweenTheSamplesAround) {
  const ClickRepair line{0, 10, 12, 0, 100, };
  EXPECT_EQ(line.value(1), 25);
  EXPECT_EQ(line.value(2), 50);
  EXPECT_EQ(line.value(3), 75);
  const ClickRepair wide{0, 0, 999, INT32_MAX, INT32_MAX};
  for (int64_t k = 1; k <= 1000; k += 111) EXPECT_EQ(wide.value(k), INT32_MAX);
  const ClickRepair falling{0, 0, 0, -524272, 524272};
  EXPECT_EQ(falling.value(1), 0);
}

TEST(AutoClickRepair, RepairsShortClicksAndNothingElse) {
  const int32_t frames = kRate * 2;
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const std::vector<Sample> clean = background(frames, channels);
    std::vector<Sample> clicked = clean;
    struct Click { int channel; int32_t first, length; };
    const Click clicks[] = {{0, 5000, 1}, {0, 20000, 5}, {channels - 1, 41000, 12}, {0, 70000, 19}};
    for (const Click& c : clicks) addClick(clicked, channels, c.channel, c.first, c.length, 300000);
    SoundBuffer sound = soundFrom(clicked, channels);
    size_t repairs = 0;
    ASSERT_EQ(autoClickRepair(sound, 0, frames, {50, 450}, nullptr, &repairs), JobResult::Done);
    const std::vector<Sample> out = samplesOf(sound);
    EXPECT_GE(repairs, std::size(clicks));
    // Every click is gone but for the end of its tail, below a third of its
    // peak: at most a tenth of its energy is left.
    for (const Click& c : clicks) {
      double left = 0, click = 0;
      for (int32_t k = 0; k < c.length; ++k) {
        const size_t i = static_cast<size_t>(c.first + k) * channels + c.channel;
        left += std::pow(static_cast<double>(out[i]) - clean[i], 2);
        click += std::pow(static_cast<double>(clicked[i]) - clean[i], 2);
      }
      EXPECT_LT(left, click / 10) << c.first;
    }
    // Away from the clicks not a sample changed.
    for (int32_t f = 0; f < frames; ++f) {
      bool near = false;
      for (const Click& c : clicks) near = near || (f >= c.first - 40 && f < c.first + c.length + 40);
      if (near) continue;
      for (int ch = 0; ch < channels; ++ch)
        ASSERT_EQ(out[static_cast<size_t>(f) * channels + ch], clicked[static_cast<size_t>(f) * channels + ch]) << f;
    }
  }
}

TEST(AutoClickRepair, LevelChangesLongerThanTheLongestClickStay) {
  const int32_t frames = kRate;
  std::vector<Sample> steps = background(frames);
  // A burst of 40 frames (longer than 19) and a lasting step.
  addClick(steps, 1, 0, 10000, 40, 300000);
  addStep(steps, 30000, frames - 30000, 200000);
  SoundBuffer sound = soundFrom(steps);
  ASSERT_EQ(autoClickRepair(sound, 0, frames, {50, 450}), JobResult::Done);
  EXPECT_EQ(samplesOf(sound), steps);
  // The same burst is a click when it fits the longest length.
  SoundBuffer longer = soundFrom(steps);
  ASSERT_EQ(autoClickRepair(longer, 0, 20000, {50, 1000}), JobResult::Done);
  EXPECT_NE(samplesOf(longer), steps);
}

TEST(AutoClickRepair, WritesACopySoCancelAndSharedBlocksKeepTheClicks) {
  const int32_t frames = kRate;
  std::vector<Sample> clicked = background(frames);
  addClick(clicked, 1, 0, 9000, 4, -300000);
  addClick(clicked, 1, 0, 30000, 4, 300000);
  for (int allowed : {0, 2}) {
    SoundBuffer sound = soundFrom(clicked);
    CancelAfter cancel(allowed);
    EXPECT_EQ(autoClickRepair(sound, 0, frames, {50, 450}, &cancel), JobResult::Cancelled);
    EXPECT_EQ(samplesOf(sound), clicked);
  }
  SoundBuffer sound = soundFrom(clicked);
  const SoundBuffer undoCopy = sound;  // shares the blocks, as an undo step does
  ASSERT_EQ(autoClickRepair(sound, 0, frames, {50, 450}), JobResult::Done);
  EXPECT_NE(samplesOf(sound), clicked);
  EXPECT_EQ(samplesOf(undoCopy), clicked);
  // Only the selection is repaired.
  SoundBuffer part = soundFrom(clicked);
  ASSERT_EQ(autoClickRepair(part, 20000, frames, {50, 450}), JobResult::Done);
  const std::vector<Sample> out = samplesOf(part);
  EXPECT_EQ(std::vector<Sample>(out.begin(), out.begin() + 20000),
            std::vector<Sample>(clicked.begin(), clicked.begin() + 20000));
  EXPECT_LT(std::abs(out[30001]), 60000);
}

TEST(AutoClickRepair, FindsClicksInRealSpeech) {
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder scratch;
  const std::vector<Sample> voice = samplesOf(speech(scratch, "Clicks and pops are taken out of the voice.", "clicks.wav"));
  std::vector<Sample> clicked = voice;
  const int32_t count = 20, spacing = static_cast<int32_t>(voice.size()) / (count + 1);
  for (int32_t i = 0; i < count; ++i) addClick(clicked, 1, 0, spacing * (i + 1), 1 + i % 4, (i % 2 ? 1 : -1) * 350000);
  SoundBuffer sound = soundFrom(clicked, 1, 22050);
  ASSERT_EQ(autoClickRepair(sound, 0, sound.totalFrames(), {50, 450}), JobResult::Done);
  const std::vector<Sample> out = samplesOf(sound);
  int repaired = 0;
  for (int32_t i = 0; i < count; ++i) repaired += out[static_cast<size_t>(spacing * (i + 1))] != clicked[static_cast<size_t>(spacing * (i + 1))];
  EXPECT_GE(repaired, count * 9 / 10);
  double before = 0, after = 0;
  for (size_t i = 0; i < voice.size(); ++i) {
    before += std::pow(static_cast<double>(clicked[i]) - voice[i], 2);
    after += std::pow(static_cast<double>(out[i]) - voice[i], 2);
  }
  EXPECT_LT(after, before / 5);
}

TEST(ManualClickRepair, TakesAMillisecondAndDrawsALineThroughIt) {
  EXPECT_FALSE(manualRepairAreaTooLarge(44, 44100));
  EXPECT_TRUE(manualRepairAreaTooLarge(45, 44100));
  EXPECT_FALSE(manualRepairAreaTooLarge(8, 8000));
  EXPECT_TRUE(manualRepairAreaTooLarge(9, 8000));

  const int32_t frames = kRate / 2;
  const std::vector<Sample> clean = background(frames, 2);
  std::vector<Sample> clicked = clean;
  addClick(clicked, 2, 0, 10000, 6, 250000);
  addClick(clicked, 2, 1, 10000, 6, -250000);
  SoundBuffer sound = soundFrom(clicked, 2);
  const SoundBuffer undoCopy = sound;
  ASSERT_EQ(manualClickRepair(sound, 10000, 10006), JobResult::Done);
  const std::vector<Sample> out = samplesOf(sound);
  for (int32_t k = 0; k < 6; ++k)
    for (int c = 0; c < 2; ++c) {
      const size_t i = static_cast<size_t>(10000 + k) * 2 + c;
      EXPECT_LT(std::abs(out[i] - clean[i]), 5000) << k;
    }
  // Outside the area and its lag nothing changed, and the copy kept its audio.
  for (int32_t f = 0; f < frames; ++f)
    if (f < 9990 || f > 10016) {
      ASSERT_EQ(out[static_cast<size_t>(f) * 2], clicked[static_cast<size_t>(f) * 2]) << f;
    }
  EXPECT_EQ(samplesOf(undoCopy), clicked);

  // Too large an area: nothing changes.
  SoundBuffer large = soundFrom(clicked, 2);
  EXPECT_EQ(manualClickRepair(large, 10000, 10100), JobResult::Failed);
  EXPECT_EQ(samplesOf(large), clicked);
  // At the very start of the sound there is no sample before the area.
  std::vector<Sample> atStart = clean;
  addClick(atStart, 2, 0, 0, 3, 250000);
  SoundBuffer first = soundFrom(atStart, 2);
  ASSERT_EQ(manualClickRepair(first, 0, 3), JobResult::Done);
  EXPECT_LT(std::abs(samplesOf(first)[0] - clean[0]), 30000);
}

}  // namespace
