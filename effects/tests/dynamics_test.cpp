#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "effects/amplitude_effects.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

double decibels(double ratio) { return 20 * std::log10(ratio); }

// A 1 kHz sine whose compressor window level (10 log10 of the mean of
// (s >> 5)^2 over 8,388,626) is `level` dB.
std::vector<Sample> sineAtLevel(double level, int32_t frames, int32_t rate = 44100) {
  const double amplitude = 32 * std::sqrt(2 * 8388626 * std::pow(10.0, level / 10));
  std::vector<Sample> samples(frames);
  for (int32_t n = 0; n < frames; ++n)
    samples[n] = static_cast<Sample>(std::lround(amplitude * std::sin(2 * std::numbers::pi * 1000 * n / rate)));
  return samples;
}

// Output over input RMS of the last half, in dB.
double settledGain(const std::vector<Sample>& before, const std::vector<Sample>& after) {
  const size_t frames = before.size();
  return decibels(rms(after, 1, 0, frames / 2, frames) / rms(before, 1, 0, frames / 2, frames));
}

TEST(Compressor, SteadyLevelsGetTheCurvesGainAndNeverPassTheLimit) {
  struct Row {
    CompressorParams params;
    double level;
    double gain;  // dB, worked out from threshold and ratio
  };
  // 2:1 at -20 dB: below the threshold +10 dB (20 * (1 - 1/2)), above it
  // -x/2 dB. The limit is a ceiling on the output level.
  for (Row row : {Row{{-20, 2, 127}, -30, 10}, Row{{-20, 2, 127}, 6, -3}, Row{{-20, 2, 127}, -10, 5},
                  Row{{-12, 4, 127}, -40, 9}, Row{{0, 0, 0}, 6, -6}, Row{{0, 0, 0}, -10, 0},
                  Row{{-10, 1, 4}, 12, 4 - 12}, Row{{0, 6, 127}, 5, -5}}) {
    const std::vector<Sample> before = sineAtLevel(row.level, 44100);
    SoundBuffer sound = soundFrom(before);
    ASSERT_EQ(compressor(sound, 0, sound.totalFrames(), row.params), JobResult::Done);
    EXPECT_NEAR(settledGain(before, samplesOf(sound)), row.gain, 0.3)
        << row.params.CompressorThreshold << " " << row.params.CompressorRatio << " at " << row.level;
  }
}

TEST(Compressor, UnityCurveChangesNothingAndAnUnlistedRatioDoesNotRun) {
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder scratch;
  SoundBuffer sound = speech(scratch, "The quick brown fox jumps over the lazy dog.", "fox.wav");
  const std::vector<Sample> before = samplesOf(sound);
  ASSERT_EQ(compressor(sound, 0, sound.totalFrames(), {0, 0, 127}), JobResult::Done);
  EXPECT_EQ(samplesOf(sound), before);
  ASSERT_EQ(compressor(sound, 0, sound.totalFrames(), {-30, 7, 0}), JobResult::Done);
  EXPECT_EQ(samplesOf(sound), before);
}

TEST(AutomaticGainControl, BringsQuietAndLoudSpeechToOneLevelWithoutClipping) {
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder scratch;
  SoundBuffer phrase = speech(scratch,
                              "Automatic gain control keeps the level of a recording steady, "
                              "whether the speaker is near the microphone or far from it.",
                              "phrase.wav");
  const int32_t length = phrase.totalFrames();
  ASSERT_GT(length, 22050 * 4);
  // The phrase 20 dB down, then at nearly full level.
  SoundBuffer sound = phrase;
  sound.scaleGain(10);
  ASSERT_TRUE(sound.insertBuffer(length, phrase));
  sound.scaleRange(length, 2 * length, 90);
  const std::vector<Sample> before = samplesOf(sound);
  const double margin = 22050 * 1.5;  // the gain moves over about a second at the join
  auto halves = [&](const std::vector<Sample>& samples) {
    return decibels(rms(samples, 1, 0, length + margin, 2 * length) / rms(samples, 1, 0, 0, length - margin));
  };
  ASSERT_GT(halves(before), 18);
  ASSERT_EQ(automaticGainControl(sound, 0, sound.totalFrames()), JobResult::Done);
  const std::vector<Sample> after = samplesOf(sound);
  EXPECT_LT(std::fabs(halves(after)), 3.0);
  EXPECT_LE(peak(after), 0.98 * kLargest16BitSample);
  // Both halves end up at a usual speech level.
  const double level = decibels(rms(after, 1, 0, 0, after.size()) / kLargest16BitSample);
  EXPECT_GT(level, -26);
  EXPECT_LT(level, -12);
}

TEST(AutomaticGainControl, HoldsASteadyToneSteadyAndRidesSlowChangesWithoutPumping) {
  const int32_t rate = 44100;
  // A tone, then the same tone with a loud burst every half second.
  std::vector<Sample> samples = sineAtLevel(-10, rate * 6, rate);
  for (int32_t n = rate * 3; n < rate * 6; n += rate / 2)
    for (int32_t k = 0; k < 441; ++k) samples[n + k] = k % 2 ? 450000 : -450000;
  SoundBuffer sound = soundFrom(samples, 1, rate);
  ASSERT_EQ(automaticGainControl(sound, 0, sound.totalFrames()), JobResult::Done);
  const std::vector<Sample> after = samplesOf(sound);
  EXPECT_LE(peak(after), 0.98 * kLargest16BitSample);
  // The tone's level in 100 ms steps, away from the start, the end and the bursts.
  double lowest = 1e9, highest = -1e9;
  for (int32_t from = rate / 2; from + rate / 10 < rate * 5 / 2; from += rate / 10) {
    const double level = decibels(rms(after, 1, 0, from, from + rate / 10));
    lowest = std::min(lowest, level);
    highest = std::max(highest, level);
  }
  EXPECT_LT(highest - lowest, 0.5);
  // Between bursts the tone moves little from gap to gap.
  lowest = 1e9, highest = -1e9;
  for (int32_t n = rate * 4; n < rate * 5; n += rate / 2) {
    const double level = decibels(rms(after, 1, 0, n + rate / 5, n + rate * 3 / 10));
    lowest = std::min(lowest, level);
    highest = std::max(highest, level);
  }
  EXPECT_LT(highest - lowest, 1.0);
}

}  // namespace
