#include "effects/speed_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "effects/tests/conversion_test_support.h"
#include "testkit/testkit.h"

using namespace convtest;

namespace {

constexpr int32_t kRate = 44100;
constexpr double kAmplitude = 0.4 * kSampleFullScale;

}  // namespace

// A steady tone read at another speed is the same tone, at the same level,
// for as long as length / factor.
TEST(SpeedSourceTest, TonesKeepFrequencyAndLevelAtEverySpeed) {
  const int32_t inputFrames = static_cast<int32_t>(msToFrames(2000, kRate));
  for (double factor : {0.1, 0.5, 0.75, 1.5, 2.5, 3.0, 10.0}) {
    for (double frequency : {150.0, 1000.0, 6000.0}) {
      SCOPED_TRACE(testing::Message() << "factor " << factor << ", " << frequency << " Hz");
      SpeedSource source(memorySource(sine(inputFrames, frequency, kRate, kAmplitude), 1, kRate), factor);
      ASSERT_TRUE(source.good());
      ASSERT_EQ(source.length(), std::llround(inputFrames / factor));
      const std::vector<double> out = channelOf(readFrames(source, source.length()), 1, 0);
      const std::vector<double> middle = slice(out, out.size() / 4, out.size() * 3 / 4);
      EXPECT_NEAR(zeroCrossingFrequency(middle, kRate) / frequency, 1.0, 0.001);
      const ToneFit fit = fitTone(middle, frequency, kRate);
      EXPECT_NEAR(decibels(fit.amplitude / kAmplitude), 0.0, 0.1);
      EXPECT_LT(decibels(fit.residual / fit.amplitude), -50);
    }
  }
}

// The same rotation goes to every channel: identical channels stay identical
// and a phase difference between channels passes unchanged.
TEST(SpeedSourceTest, ChannelsKeepTheirPhaseRelation) {
  const int32_t frames = static_cast<int32_t>(msToFrames(1500, kRate));
  for (double factor : {0.5, 1.5, 3.0}) {
    SpeedSource same(memorySource(sine(frames, 440, kRate, kAmplitude, 2, 0.0), 2, kRate), factor);
    const std::vector<Sample> both = readFrames(same, same.length());
    EXPECT_EQ(channelOf(both, 2, 0), channelOf(both, 2, 1)) << factor;

    SpeedSource shifted(memorySource(sine(frames, 440, kRate, kAmplitude, 2, 1.0), 2, kRate), factor);
    const std::vector<Sample> out = readFrames(shifted, shifted.length());
    const size_t from = out.size() / 8, to = out.size() * 3 / 8;
    const ToneFit left = fitTone(slice(channelOf(out, 2, 0), from, to), 440, kRate);
    const ToneFit right = fitTone(slice(channelOf(out, 2, 1), from, to), 440, kRate);
    EXPECT_NEAR(std::remainder(right.phase - left.phase, 2 * std::numbers::pi), 1.0, 0.01) << factor;
  }
}

// For the player: slow and fast play start where the source stands and
// count its frames, so that the cursor follows what is heard.
TEST(SpeedSourceTest, PlaybackCountsTheFramesOfItsSource) {
  const int32_t frames = static_cast<int32_t>(msToFrames(4000, kRate));
  for (int percent : {50, 150}) {
    SCOPED_TRACE(testing::Message() << percent << " %");
    const double factor = percent / 100.0;
    SampleSourceRef inner = memorySource(sine(frames, 500, kRate, kAmplitude), 1, kRate);
    inner->seek(30000);
    SampleSourceRef source = makePlaybackSpeedSource(inner, percent);
    ASSERT_TRUE(source && source->good());
    EXPECT_EQ(source->length(), frames);
    EXPECT_NEAR(source->position(), 30000, 2);
    const std::vector<double> out = channelOf(readFrames(*source, 20000), 1, 0);
    EXPECT_NEAR(source->position(), 30000 + 20000 * factor, 2);
    // Full level from the first frame: the frames before the start point are
    // read for the first windows.
    EXPECT_NEAR(decibels(rms(slice(out, 0, 256)) / (kAmplitude / std::sqrt(2.0))), 0.0, 0.2);
    EXPECT_NEAR(zeroCrossingFrequency(out, kRate) / 500, 1.0, 0.001);
    source->seek(100000);
    EXPECT_NEAR(source->position(), 100000, 2);
    const std::vector<double> after = channelOf(readFrames(*source, 1024), 1, 0);
    EXPECT_NEAR(source->position(), 100000 + 1024 * factor, 2);
    for (size_t window = 0; window < 4; ++window)
      EXPECT_NEAR(decibels(rms(slice(after, window * 256, window * 256 + 256)) / (kAmplitude / std::sqrt(2.0))), 0.0, 0.2);
  }
  EXPECT_FALSE(makePlaybackSpeedSource(memorySource({}, 1, kRate), 0));
  EXPECT_FALSE(makePlaybackSpeedSource(memorySource({}, 1, kRate), 2000));
}

// Speech read at another speed keeps its voice: the same pitch and about the
// same brightness (high against low frequencies). Noise-like sounds (the
// hiss of an "s") lose some level, as in every phase vocoder: frames put
// together from different stretches of the input add up with partly random
// phases, about 1.5 dB at 1.5 times the speed.
TEST(SpeedSourceTest, SpeechKeepsItsPitchAndBrightness) {
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder folder;
  const SoundBuffer voice = speech(folder.path());
  ASSERT_GT(voice.totalFrames(), 0);
  const int32_t rate = voice.sampleRate();
  auto reader = voice.openReader();
  const std::vector<double> original = channelOf(readFrames(*reader, voice.totalFrames()), 1, 0);
  const double pitch = medianPitch(original, rate);
  ASSERT_GT(pitch, 70);
  for (double factor : {0.75, 1.5}) {
    SCOPED_TRACE(testing::Message() << "factor " << factor);
    SpeedSource source(voice.openReader(), factor);
    EXPECT_EQ(source.length(), std::llround(voice.totalFrames() / factor));
    const std::vector<double> out = channelOf(readFrames(source, source.length()), 1, 0);
    EXPECT_NEAR(medianPitch(out, rate) / pitch, 1.0, 0.03);
    EXPECT_NEAR(decibels(brightness(out) / brightness(original)), 0.0, 1.5);
  }
}

TEST(SpeedSourceTest, FactorOneIsTheSourceItselfAndOthersOutOfRangeFail) {
  const std::vector<Sample> samples = sine(5000, 300, kRate, kAmplitude);
  SpeedSource unchanged(memorySource(samples, 1, kRate), 1.0);
  EXPECT_EQ(readFrames(unchanged, 5000), samples);
  EXPECT_EQ(unchanged.nominalPeak(), 1 << 21);  // twice 2^21, capped

  for (double factor : {0.0, -0.5, 16.5}) {
    SpeedSource refused(memorySource(samples, 1, kRate), factor);
    EXPECT_EQ(refused.status(), SourceStatus::Corrupt) << factor;
    EXPECT_EQ(readFrames(refused, 100), std::vector<Sample>(100, 0));
  }
  EXPECT_TRUE(SpeedSource(memorySource(samples, 1, kRate), 16.0).good());
}
