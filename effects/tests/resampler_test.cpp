#include "effects/resampler.h"

#include <gtest/gtest.h>

#include <cmath>

#include "effects/resample_source.h"
#include "effects/tests/conversion_test_support.h"
#include "testkit/testkit.h"

using namespace convtest;

namespace {

constexpr double kAmplitude = 0.5 * kSampleFullScale;

struct ToneThrough {
  double gainDb;      // of the tone itself (0 when it should not pass)
  double spuriousDb;  // everything else in the output, relative to the input tone
};

// One tone through a conversion, measured on the output after the start.
ToneThrough convertTone(int32_t inRate, int32_t outRate, double frequency) {
  const int32_t outFrames = 8192, skip = 256;
  const auto inFrames = static_cast<int32_t>(int64_t{outFrames + skip + 64} * inRate / outRate);
  ResampleSource source(memorySource(sine(inFrames, frequency, inRate, kAmplitude), 1, inRate), outRate);
  const std::vector<double> out = slice(channelOf(readFrames(source, outFrames + skip), 1, 0), skip, skip + outFrames);
  if (frequency < outRate / 2.0) {
    const ToneFit fit = fitTone(out, frequency, outRate);
    return {decibels(fit.amplitude / kAmplitude), decibels(fit.residual / (kAmplitude / std::sqrt(2.0)))};
  }
  return {0, decibels(rms(out) / (kAmplitude / std::sqrt(2.0)))};
}

}  // namespace

TEST(ResamplerTest, TargetsBelowAQuarterOfTheSourceGoThroughTwiceTheTarget) {
  const struct {
    int32_t from, to;
    std::vector<int32_t> path;
  } cases[] = {
      {44100, 8000, {44100, 16000, 8000}},
      {44100, 11025, {44100, 11025}},  // exactly a quarter: one stage
      {96000, 6000, {96000, 12000, 6000}},
      {48000, 44100, {48000, 44100}},
      {8000, 96000, {8000, 96000}},
      {22050, 22050, {22050}},
  };
  for (const auto& c : cases) EXPECT_EQ(resampling::conversionPath(c.from, c.to), c.path) << c.from << " -> " << c.to;

  ResampleSource source(memorySource(std::vector<Sample>(44100), 1, 44100), 8000);
  EXPECT_EQ(source.stageCount(), 2);
  EXPECT_EQ(source.ratePath(), (std::vector<int32_t>{44100, 16000, 8000}));
  EXPECT_EQ(source.length(), 8000);
}

// Sine sweeps: tones in the passband come out at their level with nothing
// beside them (images, aliases), tones above the lower Nyquist frequency do
// not come out at all. Generous limits; the benchmark prints exact figures.
TEST(ResamplerTest, SineSweepsShowAFlatPassbandAndADeepStopband) {
  const std::pair<int32_t, int32_t> conversions[] = {{44100, 48000}, {48000, 44100}, {44100, 8000}, {8000, 22050}};
  for (const auto& [from, to] : conversions) {
    const double lower = std::min(from, to);
    double lowestGain = 0, highestGain = -100, worstSpurious = -300, worstStopband = -300;
    for (double f = 40; f <= resampling::kPassbandEdge * lower; f *= 1.25) {
      const ToneThrough tone = convertTone(from, to, f);
      lowestGain = std::min(lowestGain, tone.gainDb);
      highestGain = std::max(highestGain, tone.gainDb);
      worstSpurious = std::max(worstSpurious, tone.spuriousDb);
    }
    for (double f = 0.5 * lower; f < 0.5 * from; f += 0.0123 * lower)
      worstStopband = std::max(worstStopband, convertTone(from, to, f).spuriousDb);
    SCOPED_TRACE(testing::Message() << from << " -> " << to);
    EXPECT_GT(lowestGain, -0.01);
    EXPECT_LT(highestGain, 0.01);
    EXPECT_LT(worstSpurious, -90);
    EXPECT_LT(worstStopband, -90);
  }
  // Half an octave below the passband edge nothing is lost; at the lower
  // Nyquist frequency nothing is left.
  EXPECT_GT(convertTone(44100, 48000, 16000).gainDb, -0.01);
  EXPECT_LT(convertTone(48000, 44100, 22050).spuriousDb, -90);
}

// Against sox's very-high-quality rate effect on noise that lies inside both
// passbands: the two must agree closely, sample for sample (both are linear
// phase and aligned to the input's start).
TEST(ResamplerTest, AgreesWithSoxOnBandLimitedNoise) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::pair<int32_t, int32_t> conversions[] = {{44100, 48000}, {44100, 8000}, {22050, 44100}};
  for (const auto& [from, to] : conversions) {
    const double top = 0.36 * std::min(from, to);
    const int32_t frames = from / 2;
    const std::vector<double> noise = bandNoise(frames, 50, top, from, 0.5);
    std::vector<double> theirs = throughSox(folder.path(), noise, 1, from, "-r " + std::to_string(to), "rate -v");
    ASSERT_FALSE(theirs.empty());

    std::vector<double> scaled(noise.size());
    for (size_t i = 0; i < noise.size(); ++i) scaled[i] = noise[i] * kSampleFullScale;
    ResampleSource source(memorySource(toSamples(scaled), 1, from), to);
    ASSERT_EQ(static_cast<size_t>(source.length()), theirs.size());
    const std::vector<double> ours = channelOf(readFrames(source, source.length()), 1, 0);
    // Away from both ends, where the two treat the missing input differently.
    const size_t margin = to / 50;
    std::vector<double> difference;
    for (size_t i = margin; i + margin < ours.size(); ++i)
      difference.push_back(ours[i] / kSampleFullScale - theirs[i]);
    EXPECT_LT(decibels(rms(difference) / rms(slice(theirs, margin, theirs.size() - margin))), -70)
        << from << " -> " << to;
  }
}

// A seek lands on exactly the frames that reading straight through gives,
// for exact phases, blended phases (44,100 -> 44,101) and two stages.
TEST(ResamplerTest, SeekingGivesTheFramesOfReadingThrough) {
  const std::pair<int32_t, int32_t> conversions[] = {{44100, 48000}, {44100, 44101}, {44100, 8000}};
  for (const auto& [from, to] : conversions) {
    const std::vector<Sample> input = toSamples(bandNoise(20000, 30, 0.45 * std::min(from, to), from, 200000.0));
    std::vector<Sample> stereo;
    for (Sample s : input) stereo.insert(stereo.end(), {s, -s / 2});
    ResampleSource source(memorySource(stereo, 2, from), to);
    const std::vector<Sample> whole = readFrames(source, source.length());
    for (int32_t at : {0, 1, 777, source.length() / 2, source.length() - 5}) {
      source.seek(at);
      const std::vector<Sample> part = readFrames(source, 5);
      EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + 2 * at)) << from << " -> " << to << " at " << at;
      EXPECT_EQ(source.position(), at + 5);
    }
  }
}

TEST(ResamplerTest, EqualRatesPassTheSourceThroughAndBadRatesFail) {
  auto input = memorySource(sine(1000, 440, 44100, kAmplitude), 1, 44100);
  EXPECT_EQ(makeResampleSource(input, 44100).get(), input.get());
  ResampleSource same(input, 44100);
  EXPECT_EQ(same.stageCount(), 0);
  EXPECT_EQ(readFrames(same, 1000), sine(1000, 440, 44100, kAmplitude));

  ResampleSource bad(input, 0);
  EXPECT_EQ(bad.status(), SourceStatus::Corrupt);
  EXPECT_EQ(readFrames(bad, 10), std::vector<Sample>(10, 0));
}
