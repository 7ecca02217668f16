#include <gtest/gtest.h>

#include "effects/channel_converter.h"
#include "effects/edit_operations.h"
#include "effects/resample_source.h"
#include "effects/speed_pitch.h"
#include "effects/tests/conversion_test_support.h"
#include "effects/tests/edit_test_support.h"

using namespace convtest;

namespace {

constexpr double kAmplitude = 0.4 * kSampleFullScale;

// Left a tone of leftHz, right one of rightHz.
std::vector<Sample> twoTones(int32_t frames, double leftHz, double rightHz, int32_t rate) {
  const std::vector<Sample> left = sine(frames, leftHz, rate, kAmplitude), right = sine(frames, rightHz, rate, kAmplitude);
  std::vector<Sample> stereo;
  for (int32_t f = 0; f < frames; ++f) stereo.insert(stereo.end(), {left[f], right[f]});
  return stereo;
}

}  // namespace

TEST(FormatConversionTest, ChannelsConvertBetweenMonoAndStereoOnly) {
  const std::vector<Sample> stereo = twoTones(3000, 300, 900, 22050);
  SoundBuffer sound = edittest::soundFrom(stereo, 2, 22050);
  ASSERT_EQ(convertChannels(sound, 1), JobResult::Done);
  EXPECT_EQ(sound.channels(), 1);
  EXPECT_EQ(sound.sampleRate(), 22050);
  EXPECT_EQ(edittest::samplesOf(sound), edittest::samplesOf(edittest::soundFrom(sine(3000, 300, 22050, kAmplitude), 1, 22050)));

  ASSERT_EQ(convertChannels(sound, 2), JobResult::Done);
  const std::vector<Sample> both = edittest::samplesOf(sound);
  EXPECT_EQ(channelOf(both, 2, 0), channelOf(stereo, 2, 0));
  EXPECT_EQ(channelOf(both, 2, 1), channelOf(stereo, 2, 0));

  // Four channels cannot become stereo or mono: refused, nothing changed,
  // and a converter source says so instead of passing four-channel frames.
  SoundBuffer quad = edittest::soundFrom(edittest::ramp(500, 4), 4, 22050);
  for (int to : {1, 2}) {
    EXPECT_EQ(convertChannels(quad, to), JobResult::Failed);
    EXPECT_EQ(quad.channels(), 4);
    EXPECT_EQ(edittest::samplesOf(quad), edittest::ramp(500, 4));
    ChannelConverterSource refused(quad.openReader(), to);
    EXPECT_EQ(refused.status(), SourceStatus::Corrupt);
    EXPECT_EQ(refused.channels(), to);
    EXPECT_EQ(readFrames(refused, 10), std::vector<Sample>(10 * to, 0));
    SoundBuffer out;
    EXPECT_EQ(convertSound(quad, 22050, to, out), JobResult::Failed);
  }
  EXPECT_EQ(convertSampleRate(quad, 11025), JobResult::Done);  // its channels stay as they are
  EXPECT_EQ(quad.channels(), 4);
}

// 44,100 -> 8,000 Hz goes through 16,000 Hz: what is below 4 kHz stays,
// what is above is gone.
TEST(FormatConversionTest, ConvertSampleRateDownToEightKilohertzKeepsTheBand) {
  const int32_t frames = static_cast<int32_t>(msToFrames(1000, 44100));
  SoundBuffer sound = edittest::soundFrom(twoTones(frames, 1000, 5500, 44100), 2, 44100);
  ResampleSource probe(sound.openReader(), 8000);
  EXPECT_EQ(probe.ratePath(), (std::vector<int32_t>{44100, 16000, 8000}));

  ASSERT_EQ(convertSampleRate(sound, 8000), JobResult::Done);
  EXPECT_EQ(sound.sampleRate(), 8000);
  EXPECT_EQ(sound.totalFrames(), 8000);
  const std::vector<Sample> out = edittest::samplesOf(sound);
  const std::vector<double> left = slice(channelOf(out, 2, 0), 500, 7500);
  const std::vector<double> right = slice(channelOf(out, 2, 1), 500, 7500);
  EXPECT_NEAR(decibels(fitTone(left, 1000, 8000).amplitude / kAmplitude), 0.0, 0.01);
  EXPECT_LT(decibels(fitTone(left, 1000, 8000).residual / kAmplitude), -90);
  EXPECT_LT(decibels(rms(right) / kAmplitude), -90);  // 5.5 kHz would alias to 2.5 kHz

  // The current rate changes nothing; cancelling changes nothing.
  const std::vector<Sample> before = edittest::samplesOf(sound);
  EXPECT_EQ(convertSampleRate(sound, 8000), JobResult::Done);
  edittest::CancelAfter cancel(0);
  EXPECT_EQ(convertSampleRate(sound, 22050, &cancel), JobResult::Cancelled);
  EXPECT_EQ(sound.sampleRate(), 8000);
  EXPECT_EQ(edittest::samplesOf(sound), before);
}

// A pasted sound of another format is converted first: stereo 48 kHz into a
// mono 44.1 kHz document keeps the left channel, resampled.
TEST(FormatConversionTest, PasteConvertsThroughTheResampler) {
  const int32_t frames = static_cast<int32_t>(msToFrames(500, 48000));
  const SoundBuffer clip = edittest::soundFrom(twoTones(frames, 2000, 700, 48000), 2, 48000);
  SoundBuffer document = edittest::constantSound(10000, 0, 1, 44100);
  ResamplingConverter converter;
  const EditResult result = paste(document, Selection{4000, 4000, 4000}, clip, converter);
  ASSERT_EQ(result.status, EditStatus::Done);
  const int32_t pasted = static_cast<int32_t>(msToFrames(500, 44100));
  EXPECT_EQ(result.selection.length(), pasted);
  EXPECT_EQ(document.totalFrames(), 10000 + pasted);
  const std::vector<double> middle = slice(channelOf(edittest::samplesOf(document), 1, 0), 4000 + 1000, 4000 + pasted - 1000);
  EXPECT_NEAR(zeroCrossingFrequency(middle, 44100), 2000, 0.5);
  EXPECT_LT(decibels(fitTone(middle, 2000, 44100).residual / kAmplitude), -90);

  // Into a four-channel document nothing can be converted: refused.
  SoundBuffer quad = edittest::constantSound(100, 0, 4, 48000);
  EXPECT_EQ(paste(quad, Selection{}, clip, converter).status, EditStatus::Failed);
  EXPECT_EQ(quad.totalFrames(), 100);
}
