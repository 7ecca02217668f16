#include "editor/model/analysis_view.h"

#include <gtest/gtest.h>

#include "editor/model/time_text.h"

TEST(SpectrumViewTest, ZoomStepsStayInsideTheSpectrumAndGoBackToTheDefault) {
  SpectrumView view;
  view.zoomHorizontally(true);
  EXPECT_EQ(view.firstBin, 512);
  EXPECT_EQ(view.binSpan, 1024);
  for (int i = 0; i < 20; ++i) view.zoomHorizontally(true);
  EXPECT_EQ(view.binSpan, SpectrumView::kSmallestBinSpan);
  view.scrollToBin(5000);
  EXPECT_EQ(view.firstBin, kSpectrumBins - 16);
  view.zoomHorizontally(false);  // at the top end, widening keeps the view inside
  EXPECT_EQ(view.binSpan, 32);
  EXPECT_EQ(view.firstBin, kSpectrumBins - 32);
  view.scrollToBin(-3);
  EXPECT_EQ(view.firstBin, 0);

  view.zoomVertically(true);
  EXPECT_EQ(view.lowDb, -64);
  EXPECT_EQ(view.dbSpan, 128);
  EXPECT_EQ(view.dbFromTop(), 64);
  view.scrollToDbFromTop(0);
  EXPECT_EQ(view.lowDb, 0);
  view.scrollToDbFromTop(1000);
  EXPECT_EQ(view.lowDb, -128);
  for (int i = 0; i < 20; ++i) view.zoomVertically(false);
  EXPECT_EQ(view.dbSpan, SpectrumView::kFullDbSpan);
  EXPECT_EQ(view.lowDb, SpectrumView::kFullDbLow);

  view.zoomToDefault();
  EXPECT_EQ(view.firstBin, 0);
  EXPECT_EQ(view.binSpan, kSpectrumBins);
}

TEST(SpectrumViewTest, PixelsCoverEveryBinOnceAndMapToLevels) {
  // Each pixel shows at least one item; neighbouring pixels' items meet.
  for (const auto& [pixels, count] : {std::pair<int64_t, int64_t>{512, 2048}, {1600, 16}, {700, 1024}, {3, 7}}) {
    int64_t next = 0;
    for (int64_t x = 0; x < pixels; ++x) {
      const PixelSpan span = pixelSpan(x, pixels, count);
      EXPECT_LT(span.first, span.end);
      EXPECT_LE(span.end, count);
      EXPECT_TRUE(span.first == next || span.first == next - 1) << pixels << " " << count << " at " << x;
      next = span.end;
    }
    EXPECT_EQ(next, count);
  }
  EXPECT_EQ(pixelSpan(-4, 10, 100).first, 0);
  EXPECT_EQ(pixelSpan(12, 10, 100).end, 100);

  SpectrumView view;
  EXPECT_EQ(view.binsAt(0, 512).first, 0);
  EXPECT_EQ(view.binsAt(0, 512).end, 4);
  EXPECT_EQ(view.binsAt(511, 512).first, 2044);
  EXPECT_EQ(view.binsAt(600, 512).end, kSpectrumBins);
  EXPECT_EQ(view.xOfBin(1024, 512), 256);
  EXPECT_EQ(view.yOfDb(128, 256), 0);
  EXPECT_EQ(view.yOfDb(0, 256), 128);
  EXPECT_EQ(view.yOfDb(-128, 256), 256);
  view.firstBin = 100;
  view.binSpan = 16;
  EXPECT_EQ(view.binsAt(1599, 1600).first, 115);
  EXPECT_EQ(view.binsAt(800, 1600).first, 108);
}

TEST(AnalysisReadoutTest, SpectrumReadsTheBinsFrequencyAndTheLouderChannel) {
  SpectrumRecord record;
  record.sampleRate = 44100;
  record.stereo = true;
  record.levels.assign(2 * kSpectrumBins, -127);
  record.levels[100] = -20;
  record.levels[kSpectrumBins + 100] = 12;
  record.levels[kSpectrumBins - 1] = 5;
  record.levels[kSpectrumBins + 103] = 11;
  // The loudest bin under the pixel, of either channel.
  EXPECT_EQ(spectrumReadout(record, {100, 101}), "1076 Hz, 12 dB");
  EXPECT_EQ(spectrumReadout(record, {98, 104}), "1076 Hz, 12 dB");
  EXPECT_EQ(spectrumReadout(record, {101, 104}), "1108 Hz, 11 dB");
  EXPECT_EQ(spectrumReadout(record, {2040, 5000}), "22039 Hz, 5 dB");
  record.stereo = false;
  record.levels.resize(kSpectrumBins);
  EXPECT_EQ(spectrumReadout(record, {99, 103}), "1076 Hz, -20 dB");
  EXPECT_EQ(spectrumReadout(record, {0, 1}), "0 Hz, -127 dB");
  EXPECT_EQ(spectrumReadout(record, {7, 9}), "75 Hz, -127 dB");
}

TEST(AnalysisReadoutTest, SpectrogramReadsTheColumnsTimeInTenthsTheBinAndItsLevel) {
  Spectrogram spectrogram;
  spectrogram.sampleRate = 44100;
  spectrogram.start = 44100 * 3723;  // 1:02:03
  spectrogram.length = 44100;
  spectrogram.layout = spectrogramLayout(44100, 44100);
  ASSERT_EQ(spectrogram.layout.columns, 172);
  spectrogram.cells.assign(172 * 1024, 0);
  spectrogram.cells[86 * 1024 + 46] = (76 + 128) * 256;
  spectrogram.cells[87 * 1024 + 44] = (30 + 128) * 256;
  // Column 86 starts half a second in.
  EXPECT_EQ(spectrogramReadout(spectrogram, {86, 87}, {46, 47}),
            "Time: 1:02:03.5    Frequency: 990 Hz    Volume: 76 dB");
  // Under a wider pixel: the time of its first column, the loudest cell.
  EXPECT_EQ(spectrogramReadout(spectrogram, {85, 88}, {40, 50}),
            "Time: 1:02:03.4    Frequency: 990 Hz    Volume: 76 dB");
  EXPECT_EQ(spectrogramReadout(spectrogram, {87, 88}, {40, 50}),
            "Time: 1:02:03.5    Frequency: 947 Hz    Volume: 30 dB");
  EXPECT_EQ(spectrogramReadout(spectrogram, {0, 1}, {0, 1}), "Time: 1:02:03.0    Frequency: 0 Hz    Volume: -127 dB");
  EXPECT_EQ(spectrogramReadout(spectrogram, {999, 1000}, {5000, 5001}),
            "Time: 1:02:03.9    Frequency: 22028 Hz    Volume: -127 dB");

  EXPECT_EQ(formatTimeTenths(0), "0:00:00.0");
  EXPECT_EQ(formatTimeTenths(3723499), "1:02:03.4");
  EXPECT_EQ(formatTimeTenths(-1550), "-0:00:01.5");
  EXPECT_EQ(formatTimeTenths(36000000 * 10LL), "100:00:00.0");
}

TEST(SpectrogramBandTest, TheZoomedBandCovers4000HzFromTheScrollPosition) {
  Spectrogram spectrogram;
  spectrogram.sampleRate = 44100;
  spectrogram.layout = spectrogramLayout(44100, 44100);  // 2,048-point transforms
  const SpectrogramBand full = spectrogramBand(spectrogram, true, 700);
  EXPECT_EQ(full.firstBin, 0);
  EXPECT_EQ(full.binCount, 1024);
  const SpectrogramBand low = spectrogramBand(spectrogram, false, 0);
  EXPECT_EQ(low.firstBin, 0);
  EXPECT_EQ(low.binCount, 185);  // 4,000 Hz is bin 185.76
  const SpectrogramBand high = spectrogramBand(spectrogram, false, largestBandStartHz(44100));
  EXPECT_EQ(largestBandStartHz(44100), 18050);
  EXPECT_EQ(high.firstBin + high.binCount, 1024);
  // At 8,000 Hz the band is the whole range.
  spectrogram.sampleRate = 8000;
  spectrogram.layout = spectrogramLayout(8000, 8000);
  const SpectrogramBand all = spectrogramBand(spectrogram, false, 0);
  EXPECT_EQ(all.firstBin, 0);
  EXPECT_EQ(all.binCount, 256);
  EXPECT_EQ(largestBandStartHz(8000), 0);
  EXPECT_EQ(spectrogramBand(spectrogram, false, 9999).firstBin, 255);
}

TEST(SpectrogramColourTest, LouderAndBrighterNeverDarkerFromBlackToWhite) {
  auto sum = [](uint32_t rgb) { return (rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF); };
  EXPECT_EQ(spectrogramColour(0, kDefaultBrightness), 0u);
  EXPECT_EQ(spectrogramColour((0 + 128) * 256, kDefaultBrightness), 0u);
  EXPECT_EQ(spectrogramColour((90 + 128) * 256, kDefaultBrightness), 0xFFFFFFu);
  EXPECT_EQ(spectrogramColour(65535, 20), 0xFFFFFFu);
  EXPECT_NE(spectrogramColour(65535, 0), 0xFFFFFFu);
  // The quiet end lights up as the brightness rises.
  EXPECT_EQ(spectrogramColour((-20 + 128) * 256, 30), 0u);
  EXPECT_NE(spectrogramColour((-20 + 128) * 256, 80), 0u);
  uint32_t previous = 0;
  for (int decibels = -128; decibels <= 127; decibels += 3) {
    const uint32_t colour = spectrogramColour(static_cast<uint16_t>((decibels + 128) * 256), kDefaultBrightness);
    EXPECT_GE(sum(colour), sum(previous)) << decibels;
    previous = colour;
  }
}
