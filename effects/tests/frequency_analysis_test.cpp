#include "effects/frequency_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "effects/spectrum_fft.h"
#include "effects/tests/edit_test_support.h"

using edittest::soundFrom;

namespace {

// A sine of amplitude at frequency rate * bin / 4096 (a whole number of
// periods per transform), on every channel, or only on `onlyChannel`.
std::vector<Sample> binSine(int frames, double bin, double amplitude, int channels = 1, int onlyChannel = -1) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (int t = 0; t < frames; ++t)
    for (int c = 0; c < channels; ++c)
      if (onlyChannel < 0 || c == onlyChannel)
        samples[static_cast<size_t>(t) * channels + c] =
            static_cast<Sample>(std::lround(amplitude * std::sin(2 * std::numbers::pi * bin * t / kSpectrumSize)));
  return samples;
}

// The windowed transform by its defining sum.
std::complex<double> windowedBin(const std::vector<double>& x, int k) {
  const int n = static_cast<int>(x.size());
  std::complex<double> sum;
  for (int t = 0; t < n; ++t) {
    const double w = 0.54 - 0.46 * std::cos(2 * std::numbers::pi * t / n);
    sum += x[t] * w * std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) * t / n);
  }
  return sum;
}

}  // namespace

// One transform of a mono frame and two channels packed into one transform,
// against the defining sum of the windowed frame.
TEST(SpectrumFftTest, MatchesTheDefiningSumForOneChannelAndForAPackedPair) {
  std::mt19937 random(11);
  std::uniform_int_distribution<Sample> value(-kSampleFullScale, kSampleFullScale);
  for (int order : {1, 5, 9}) {
    SpectrumFft fft(order);
    const int n = fft.size();
    std::vector<Sample> stereo(2 * n);
    for (Sample& s : stereo) s = value(random);
    std::vector<double> left(n), right(n);
    for (int t = 0; t < n; ++t) left[t] = stereo[2 * t], right[t] = stereo[2 * t + 1];
    std::vector<double> single(n), leftPacked(n), rightPacked(n);
    fft.loadChannel(stereo.data(), 2, 1);
    fft.transform();
    for (int k = 0; k < n; ++k) single[k] = fft.magnitude(k);
    fft.loadStereo(stereo.data());
    fft.transform();
    for (int k = 0; k < n; ++k) fft.stereoMagnitudes(k, leftPacked[k], rightPacked[k]);
    for (int k = 0; k < n; ++k) {
      const double tolerance = 1e-9 * kSampleFullScale * n;
      EXPECT_NEAR(single[k], std::abs(windowedBin(right, k)), tolerance) << order << " bin " << k;
      EXPECT_NEAR(leftPacked[k], std::abs(windowedBin(left, k)), tolerance) << order << " bin " << k;
      EXPECT_NEAR(rightPacked[k], std::abs(windowedBin(right, k)), tolerance) << order << " bin " << k;
    }
  }
}

TEST(SpectrumLevelTest, RoundsHalfAwayFromZeroAndClampsToTheFloorAndCeiling) {
  // |X| * 2^-16.5 = 10^(dB / 20) gives exactly dB.
  auto magnitudeOf = [](double decibels) { return std::pow(10.0, decibels / 20) * std::pow(2.0, 16.5); };
  const struct {
    double decibels;
    int level;
  } cases[] = {{0, 0}, {10.4, 10}, {10.5001, 11}, {-10.4999, -10}, {-10.5001, -11}, {76, 76},
               {126.6, 127}, {200, 127}, {-126.6, -127}, {-300, -127}};
  for (const auto& c : cases) EXPECT_EQ(spectrumLevel(magnitudeOf(c.decibels)), c.level) << c.decibels;
  EXPECT_EQ(spectrumLevel(0), -127);
  EXPECT_EQ(binFrequency(1, 44100), 10);  // 10.77 Hz
  EXPECT_EQ(binFrequency(2047, 44100), 22039);
  EXPECT_EQ(binFrequency(2047, 192000), 95953);
}

// A full-scale sine at the frequency of bin k: the window's sum times half
// the amplitude, 2^19 * 0.54 * 4096 / 2 at bin k, and the window's side
// value 0.23 of the same at its neighbours; the rest far below.
TEST(FrequencyAnalysisTest, AFullScaleSineAtABinFrequencyPeaksAtThatBinWithTheWindowsGain) {
  const double peak = kSampleFullScale * 0.54 * kSpectrumSize / 2;
  const int expectedPeak = static_cast<int>(std::lround(20 * std::log10(peak * std::pow(2.0, -16.5))));
  const int expectedSide = static_cast<int>(std::lround(20 * std::log10(peak * 0.23 / 0.54 * std::pow(2.0, -16.5))));
  ASSERT_EQ(expectedPeak, 76);
  for (int bin : {5, 100, 1000, 2040}) {
    auto record = analyseSpectrum(soundFrom(binSine(kSpectrumSize, bin, kSampleFullScale), 1, 44100), 0);
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->stereo);
    EXPECT_EQ(record->sampleRate, 44100);
    ASSERT_EQ(record->levels.size(), static_cast<size_t>(kSpectrumBins));
    const auto loudest = std::max_element(record->levels.begin(), record->levels.end());
    EXPECT_EQ(loudest - record->levels.begin(), bin);
    EXPECT_EQ(*loudest, expectedPeak) << bin;
    EXPECT_EQ(record->level(0, bin - 1), expectedSide) << bin;
    EXPECT_EQ(record->level(0, bin + 1), expectedSide) << bin;
    // Rounding the samples to whole numbers leaves a floor some 100 dB down.
    for (int k = 0; k < kSpectrumBins; ++k) {
      if (std::abs(k - bin) <= 1) continue;
      ASSERT_LT(record->level(0, k), expectedPeak - 90) << bin << " at " << k;
    }
  }
}

TEST(FrequencyAnalysisTest, StereoChannelsAreAnalysedApartFromTheCursorOn) {
  // Left: bin 300 from frame 1000 on; right: bin 40. Before frame 1000 the
  // left holds a loud bin 900 that the analysis must not see.
  std::vector<Sample> samples = binSine(1000 + kSpectrumSize, 40, kSampleFullScale / 2, 2, 1);
  const auto before = binSine(1000, 900, kSampleFullScale, 1);
  const auto after = binSine(kSpectrumSize, 300, kSampleFullScale / 2, 1);
  for (int t = 0; t < 1000; ++t) samples[2 * t] = before[t];
  for (int t = 0; t < kSpectrumSize; ++t) samples[2 * (1000 + t)] = after[t];
  auto record = analyseSpectrum(soundFrom(samples, 2, 22050), 1000);
  ASSERT_TRUE(record);
  EXPECT_TRUE(record->stereo);
  ASSERT_EQ(record->levels.size(), static_cast<size_t>(2 * kSpectrumBins));
  auto loudestBin = [&](int channel) {
    const auto first = record->levels.begin() + channel * kSpectrumBins;
    return std::max_element(first, first + kSpectrumBins) - first;
  };
  EXPECT_EQ(loudestBin(0), 300);
  EXPECT_EQ(loudestBin(1), 40);
  EXPECT_EQ(record->level(0, 300), 70);  // half scale: 6 dB below 76
  EXPECT_LT(record->level(0, 900), 0);
}

TEST(FrequencyAnalysisTest, SilenceEndsAndOddChannelCounts) {
  // Silence reads -127 at every bin.
  auto silent = analyseSpectrum(edittest::constantSound(5000, 0, 2), 0);
  ASSERT_TRUE(silent);
  EXPECT_TRUE(std::all_of(silent->levels.begin(), silent->levels.end(), [](int32_t l) { return l == -127; }));

  // 1,000 frames before the end: the rest reads as silence, so the result is
  // that of the same 1,000 frames followed by written zeros.
  std::vector<Sample> noise(6000);
  std::mt19937 random(3);
  for (Sample& s : noise) s = std::uniform_int_distribution<Sample>(-100000, 100000)(random);
  std::vector<Sample> padded(noise.begin() + 5000, noise.end());
  padded.resize(kSpectrumSize, 0);
  auto nearEnd = analyseSpectrum(soundFrom(noise), 5000);
  auto reference = analyseSpectrum(soundFrom(padded), 0);
  ASSERT_TRUE(nearEnd && reference);
  EXPECT_EQ(nearEnd->levels, reference->levels);
  // A cursor at the very end sees only silence.
  auto atEnd = analyseSpectrum(soundFrom(noise), 6000);
  ASSERT_TRUE(atEnd);
  EXPECT_EQ(*std::max_element(atEnd->levels.begin(), atEnd->levels.end()), -127);

  EXPECT_FALSE(analyseSpectrum(edittest::constantSound(5000, 1000, 3), 0));
}
