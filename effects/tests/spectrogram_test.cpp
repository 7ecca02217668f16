#include "effects/spectrogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "effects/frequency_analysis.h"
#include "effects/tests/edit_test_support.h"

using edittest::CancelAfter;
using edittest::soundFrom;

namespace {

void addSine(std::vector<Sample>& samples, int channels, int channel, int64_t from, int64_t to, double hz,
             int32_t rate, double amplitude) {
  for (int64_t t = from; t < to; ++t)
    samples[static_cast<size_t>(t) * channels + channel] +=
        static_cast<Sample>(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * t / rate)));
}

int loudestBin(const Spectrogram& spectrogram, int64_t column) {
  int best = 0;
  for (int bin = 1; bin < spectrogram.layout.bins; ++bin)
    if (spectrogram.cell(column, bin) > spectrogram.cell(column, best)) best = bin;
  return best;
}

}  // namespace

TEST(SpectrogramLayoutTest, OrderBinsAndColumnsFollowTheRateAndLength) {
  const struct {
    int32_t rate;
    int64_t length;
    int order, bins;
    int64_t columns;
  } cases[] = {
      {8000, 8000, 9, 256, 124},        // 266 frames: 256 is too short
      {44100, 44100, 11, 1024, 172},
      {48000, 1000, 11, 1024, 1},       // shorter than a bin count: one column
      {900, 100, 5, 16, 24},            // the order starts at 5
      {960, 1, 5, 16, 1},
      {11025, 22050, 9, 256, 344},
      {1966080, 1 << 20, 16, 32768, 128},   // 65,536 frames is enough
      {3000000, 1 << 20, 16, 32768, 128},   // the order stops at 16
  };
  for (const auto& c : cases) {
    const SpectrogramLayout layout = spectrogramLayout(c.rate, c.length);
    EXPECT_EQ(layout.order, c.order) << c.rate;
    EXPECT_EQ(layout.bins, c.bins) << c.rate;
    EXPECT_EQ(layout.columns, c.columns) << c.rate << " " << c.length;
  }
  // An hour at 44,100 Hz would want 620,156 columns of 1,024 bins, over a
  // gigabyte: it gets as many as fit the cell budget, spread over the hour.
  const SpectrogramLayout hour = spectrogramLayout(44100, 44100LL * 3600);
  EXPECT_EQ(hour.columns * hour.bins, kMaxSpectrogramCells);
}

TEST(SpectrogramLayoutTest, ColumnStartsOfTheLongestSelectionDoNotOverflow) {
  const int64_t start = 1000, length = INT32_MAX - start;
  const SpectrogramLayout layout = spectrogramLayout(44100, length);
  int64_t previous = start - 1;
  for (int64_t column : {int64_t{0}, int64_t{1}, layout.columns / 2, layout.columns - 1}) {
    const int64_t first = spectrogramColumnStart(start, column, length, layout.columns);
    EXPECT_GT(first, previous);
    EXPECT_EQ(first, start + static_cast<int64_t>(static_cast<long double>(column) * length / layout.columns));
    previous = first;
  }
  EXPECT_LT(previous, start + length);
  EXPECT_GE(previous, start + length - length / layout.columns - 1);
}

// A tone that changes half way: the columns before show the first, those
// after the second, and only the columns straddling the change show both.
TEST(SpectrogramTest, TwoTonesInTurnShowInTheirOwnColumnsForMonoAndStereo) {
  const int32_t rate = 44100;
  const int64_t frames = rate;  // 1,024 bins, 172 columns
  for (int channels : {1, 2}) {
    std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
    for (int c = 0; c < channels; ++c) {
      addSine(samples, channels, c, 0, frames / 2, 1000, rate, kSampleFullScale / 2);
      addSine(samples, channels, c, frames / 2, frames, 5000, rate, kSampleFullScale / 2);
    }
    Spectrogram spectrogram;
    ASSERT_EQ(computeSpectrogram(soundFrom(samples, channels, rate), 0, static_cast<int32_t>(frames), nullptr,
                                 spectrogram),
              JobResult::Done);
    ASSERT_EQ(spectrogram.layout.columns, 172);
    ASSERT_EQ(spectrogram.cells.size(), 172u * 1024);
    const int lowBin = static_cast<int>(std::lround(1000.0 * 2048 / rate));   // 46
    const int highBin = static_cast<int>(std::lround(5000.0 * 2048 / rate));  // 232
    for (int64_t column = 0; column < 172; ++column) {
      const int64_t first = column * frames / 172;
      if (first + 2048 <= frames / 2) {
        EXPECT_EQ(loudestBin(spectrogram, column), lowBin) << column;
      } else if (first >= frames / 2) {
        EXPECT_EQ(loudestBin(spectrogram, column), highBin) << column;
      }
    }
    // Half scale, not on a bin centre: within a few dB of the 70 dB of a
    // centred half-scale tone, the same for one channel as for two.
    const int level = spectrogramCellDecibels(spectrogram.cell(0, lowBin));
    EXPECT_GE(level, 66) << channels;
    EXPECT_LE(level, 70) << channels;
  }
}

TEST(SpectrogramTest, ReadsTheSameLevelsAsTheSpectrumAndSilenceAsTheFloor) {
  // A full-scale tone at the centre of bin 8 of a 512-point transform reads
  // the spectrum window's 76 dB, though that window's transform is 8 times longer.
  const int32_t rate = 8000;
  std::vector<Sample> samples(rate, 0);
  addSine(samples, 1, 0, 0, rate / 2, rate * 8.0 / 512, rate, kSampleFullScale);
  Spectrogram spectrogram;
  ASSERT_EQ(computeSpectrogram(soundFrom(samples, 1, rate), 0, rate, nullptr, spectrogram), JobResult::Done);
  EXPECT_EQ(spectrogram.layout.bins, 256);
  EXPECT_EQ(spectrogramCellDecibels(spectrogram.cell(0, 8)), 76);
  const int64_t last = spectrogram.layout.columns - 1;
  EXPECT_EQ(spectrogram.cell(last, 8), 0);
  EXPECT_EQ(spectrogramCellDecibels(spectrogram.cell(last, 8)), -127);
  EXPECT_EQ(spectrogramCell(0, 9), 0);
  EXPECT_EQ(spectrogramCellDecibels(65535), 127);
}

// Thirty seconds: column c * length passes 2^31 past the first third, so
// positions worked out in 32 bits would read the wrong part of the sound.
TEST(SpectrogramTest, ALongSelectionFindsALateToneInItsColumns) {
  const int32_t rate = 44100;
  const int32_t frames = 30 * rate, from = 2 * rate;
  const int32_t toneStart = 26 * rate, toneEnd = 27 * rate;
  std::vector<Sample> samples(static_cast<size_t>(frames) + from, 0);
  addSine(samples, 1, 0, from + toneStart, from + toneEnd, 3000, rate, kSampleFullScale / 4);
  Spectrogram spectrogram;
  ASSERT_EQ(computeSpectrogram(soundFrom(samples, 1, rate), from, from + frames, nullptr, spectrogram),
            JobResult::Done);
  EXPECT_EQ(spectrogram.start, from);
  EXPECT_EQ(spectrogram.length, frames);
  const int64_t columns = spectrogram.layout.columns;
  ASSERT_EQ(columns, (frames / 1024) * 4);
  const int toneBin = static_cast<int>(std::lround(3000.0 * 2048 / rate));
  for (int64_t column = 0; column < columns; ++column) {
    const int64_t first = column * int64_t{frames} / columns;  // where column c must start
    const bool inside = first >= toneStart && first + 2048 <= toneEnd;
    const bool outside = first + 2048 <= toneStart || first >= toneEnd;
    if (inside) {
      ASSERT_GT(spectrogramCellDecibels(spectrogram.cell(column, toneBin)), 50) << column;
    } else if (outside) {
      ASSERT_EQ(spectrogram.cell(column, toneBin), 0) << column;
    }
  }
}

TEST(SpectrogramTest, CancelEmptyAndOddChannelCountsLeaveTheResultAlone) {
  const std::vector<Sample> samples(44100, 1000);
  Spectrogram spectrogram;
  spectrogram.length = 12345;
  CancelAfter cancel(5);
  EXPECT_EQ(computeSpectrogram(soundFrom(samples), 0, 44100, &cancel, spectrogram), JobResult::Cancelled);
  EXPECT_EQ(cancel.calls(), 6);
  EXPECT_EQ(computeSpectrogram(soundFrom(samples), 500, 500, nullptr, spectrogram), JobResult::Failed);
  EXPECT_EQ(computeSpectrogram(soundFrom(samples, 3), 0, 100, nullptr, spectrogram), JobResult::Failed);
  EXPECT_EQ(spectrogram.length, 12345);
  EXPECT_TRUE(spectrogram.cells.empty());
}
