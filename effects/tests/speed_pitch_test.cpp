#include "effects/speed_pitch.h"

#include <gtest/gtest.h>

#include <cmath>

#include "effects/tests/conversion_test_support.h"
#include "effects/tests/edit_test_support.h"
#include "testkit/testkit.h"

using namespace convtest;

namespace {

constexpr int32_t kRate = 44100;
constexpr double kAmplitude = 0.4 * kSampleFullScale;

// A tone between two ramps, so that what lies around the selection can be
// checked frame for frame.
struct ToneInContext {
  SoundBuffer sound;
  std::vector<Sample> before, after;
  int32_t start, end;
};

ToneInContext toneInContext(double frequency, int32_t toneMs) {
  ToneInContext t;
  t.before = edittest::ramp(1000, 1, 7);
  t.after = edittest::ramp(1500, 1, -3000);
  std::vector<Sample> all = t.before;
  const std::vector<Sample> tone = sine(static_cast<int32_t>(msToFrames(toneMs, kRate)), frequency, kRate, kAmplitude);
  all.insert(all.end(), tone.begin(), tone.end());
  all.insert(all.end(), t.after.begin(), t.after.end());
  t.sound = edittest::soundFrom(all, 1, kRate);
  t.start = 1000;
  t.end = 1000 + static_cast<int32_t>(tone.size());
  return t;
}

struct Outcome {
  int32_t length;     // of the changed selection
  double frequency;   // of its middle half
  double levelDb;     // of its middle half, against the input tone
};

// Runs the effect and checks that the frames around the selection did not move.
Outcome runOn(ToneInContext& t, SpeedPitchMode mode, int32_t percent, double frequency) {
  const SpeedPitchResult result = changeSpeedOrPitch(t.sound, t.start, t.end, mode, percent);
  EXPECT_EQ(result.result, JobResult::Done);
  const std::vector<Sample> all = edittest::samplesOf(t.sound);
  const int32_t length = result.end - t.start;
  EXPECT_EQ(all.size(), t.before.size() + length + t.after.size());
  EXPECT_TRUE(std::equal(t.before.begin(), t.before.end(), all.begin()));
  EXPECT_TRUE(std::equal(t.after.begin(), t.after.end(), all.end() - t.after.size()));
  const std::vector<double> changed = slice(channelOf(all, 1, 0), t.start + length / 4, t.start + length * 3 / 4);
  return {length, zeroCrossingFrequency(changed, kRate), decibels(fitTone(changed, frequency, kRate).amplitude / kAmplitude)};
}

}  // namespace

// k = percent / 100, at least 0.1 (0 % and below, which the dialog lets
// through, count as 10 %). Speed and Pitch: 1/k as long, k times higher (200 %
// is half as long and an octave up). Speed: 1/k as long, same pitch. Pitch:
// the same length to the frame, k times higher. 100 % changes nothing.
TEST(SpeedPitchTest, EachModeScalesLengthAndFrequencyAsItShould) {
  using Mode = SpeedPitchMode;
  const struct {
    Mode mode;
    int32_t percent;
    double lengthRatio, frequencyRatio;
  } cases[] = {
      {Mode::SpeedAndPitch, 200, 0.5, 2.0}, {Mode::SpeedAndPitch, 50, 2.0, 0.5}, {Mode::SpeedAndPitch, 300, 1 / 3.0, 3.0},
      {Mode::SpeedAndPitch, 5, 10.0, 0.1},  {Mode::SpeedAndPitch, -40, 10.0, 0.1}, {Mode::Speed, 150, 1 / 1.5, 1.0},
      {Mode::Speed, 50, 2.0, 1.0},          {Mode::Speed, 0, 10.0, 1.0},          {Mode::Pitch, 150, 1.0, 1.5},
      {Mode::Pitch, 50, 1.0, 0.5},          {Mode::Pitch, 300, 1.0, 3.0},        {Mode::Pitch, 10, 1.0, 0.1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(c.mode) << ", " << c.percent << " %");
    ToneInContext t = toneInContext(700, 400);
    const int32_t selected = t.end - t.start;
    const double expected = 700 * c.frequencyRatio;
    const Outcome out = runOn(t, c.mode, c.percent, expected);
    if (c.mode == Mode::Pitch)
      EXPECT_EQ(out.length, selected);
    else
      EXPECT_NEAR(out.length, selected * c.lengthRatio, 1.0);
    EXPECT_NEAR(out.frequency / expected, 1.0, 0.002);
    EXPECT_NEAR(out.levelDb, 0.0, 0.2);
  }
  for (Mode mode : {Mode::SpeedAndPitch, Mode::Speed, Mode::Pitch}) {
    ToneInContext t = toneInContext(700, 100);
    const std::vector<Sample> before = edittest::samplesOf(t.sound);
    EXPECT_EQ(changeSpeedOrPitch(t.sound, t.start, t.end, mode, 100).end, t.end);
    EXPECT_EQ(edittest::samplesOf(t.sound), before);
  }
}

// sox's speed effect changes speed and pitch together by resampling; on
// noise inside both passbands the two agree sample for sample.
TEST(SpeedPitchTest, SpeedAndPitchChangeAgreesWithSoxSpeed) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::vector<double> noise = bandNoise(kRate, 40, 5000, kRate, 0.5);
  for (int32_t percent : {200, 50, 125}) {
    const std::string factor = std::to_string(percent / 100.0);
    const std::vector<double> theirs = throughSox(folder.path(), noise, 1, kRate, "", "speed " + factor + " rate -v 44100");
    ASSERT_FALSE(theirs.empty());
    std::vector<Sample> samples(noise.size());
    for (size_t i = 0; i < noise.size(); ++i) samples[i] = static_cast<Sample>(std::lround(noise[i] * kSampleFullScale));
    SoundBuffer sound = edittest::soundFrom(samples, 1, kRate);
    const SpeedPitchResult result = speedAndPitchChange(sound, 0, sound.totalFrames(), SpeedAndPitchParams{percent});
    ASSERT_EQ(result.result, JobResult::Done);
    EXPECT_NEAR(result.end, static_cast<double>(theirs.size()), 2.0) << percent;
    const std::vector<double> ours = channelOf(edittest::samplesOf(sound), 1, 0);
    const size_t margin = 2000, end = std::min(ours.size(), theirs.size()) - margin;
    std::vector<double> difference;
    for (size_t i = margin; i < end; ++i) difference.push_back(ours[i] / kSampleFullScale - theirs[i]);
    EXPECT_LT(decibels(rms(difference) / rms(slice(theirs, margin, end))), -60) << percent;
  }
}

// Speech keeps its duration under Pitch Change and its pitch moves by k;
// Speed and Pitch Change moves both.
TEST(SpeedPitchTest, SpeechPitchFollowsThePercentage) {
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder folder;
  const SoundBuffer voice = speech(folder.path());
  ASSERT_GT(voice.totalFrames(), 0);
  const int32_t rate = voice.sampleRate();
  const double pitch = medianPitch(channelOf(edittest::samplesOf(voice), 1, 0), rate);
  ASSERT_GT(pitch, 70);
  const struct {
    SpeedPitchMode mode;
    int32_t percent;
    double pitchRatio, lengthRatio;
  } cases[] = {{SpeedPitchMode::Pitch, 130, 1.3, 1.0},
               {SpeedPitchMode::Pitch, 80, 0.8, 1.0},
               {SpeedPitchMode::SpeedAndPitch, 125, 1.25, 0.8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(c.mode) << ", " << c.percent << " %");
    SoundBuffer sound = voice;
    const SpeedPitchResult result = changeSpeedOrPitch(sound, 0, sound.totalFrames(), c.mode, c.percent);
    ASSERT_EQ(result.result, JobResult::Done);
    // The rate it is read at is truncated to whole hertz (22,050 x 1.25 to 27,562).
    EXPECT_NEAR(sound.totalFrames(), voice.totalFrames() * c.lengthRatio, voice.totalFrames() * 1e-4);
    EXPECT_NEAR(medianPitch(channelOf(edittest::samplesOf(sound), 1, 0), rate) / pitch, c.pitchRatio, 0.03 * c.pitchRatio);
  }
}

// A percentage above 300 is refused; cancelling at any point, even at the
// last call after the last chunk, leaves the sound as it was and no block
// behind.
TEST(SpeedPitchTest, RefusedOrCancelledRunsLeaveTheSoundExactlyAsItWas) {
  ToneInContext t = toneInContext(500, 1000);
  const std::vector<Sample> before = edittest::samplesOf(t.sound);
  const size_t spans = t.sound.spans().size();
  const size_t files = edittest::blockFileCount();
  // At 60 % the selection of 44,100 frames becomes 73,500 (Pitch Change: stays).
  const struct {
    SpeedPitchMode mode;
    int32_t resultFrames;
  } cases[] = {{SpeedPitchMode::SpeedAndPitch, 73500}, {SpeedPitchMode::Speed, 73500}, {SpeedPitchMode::Pitch, 44100}};
  for (const auto& c : cases) {
    EXPECT_EQ(changeSpeedOrPitch(t.sound, t.start, t.end, c.mode, 301).result, JobResult::Failed);
    const int chunks = (c.resultFrames + kProcessChunkFrames - 1) / kProcessChunkFrames;
    for (int allowed : {0, 2, chunks}) {
      edittest::CancelAfter cancel(allowed);
      const SpeedPitchResult result = changeSpeedOrPitch(t.sound, t.start, t.end, c.mode, 60, &cancel);
      EXPECT_EQ(result.result, JobResult::Cancelled) << static_cast<int>(c.mode) << ", " << allowed;
      EXPECT_EQ(cancel.calls(), allowed + 1);
      EXPECT_EQ(result.end, t.end);
    }
    EXPECT_EQ(t.sound.spans().size(), spans);
    EXPECT_EQ(edittest::blockFileCount(), files);
  }
  EXPECT_EQ(edittest::samplesOf(t.sound), before);
}

TEST(SpeedPitchTest, StoredValuesKeepTheirNamesAndDefaults) {
  auto store = sys::makeMemorySettingsStore();
  EXPECT_EQ(readSpeedAndPitchParams(*store).SpSpeedPitch, 100);
  EXPECT_EQ(readSpeedChangeParams(*store).ConstPitchSpeed, 100);
  EXPECT_EQ(readPitchChangeParams(*store).ConstSpeedPitch, 100);
  writeSpeedAndPitchParams(*store, {150});
  writeSpeedChangeParams(*store, {75});
  writePitchChangeParams(*store, {-20});
  EXPECT_EQ(store->read("StoredValues", "SpSpeedPitch", ""), "150");
  EXPECT_EQ(store->read("StoredValues", "ConstPitchSpeed", ""), "75");
  EXPECT_EQ(store->read("StoredValues", "ConstSpeedPitch", ""), "-20");
}
