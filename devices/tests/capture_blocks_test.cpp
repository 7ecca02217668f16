#include "devices/capture_blocks.h"

#include <gtest/gtest.h>

#include <random>

#include "devices/tests/capture_test_support.h"

using namespace capturetest;

namespace {

std::vector<Sample> asSamples(const std::vector<int16_t>& values) {
  std::vector<Sample> out;
  for (int16_t v : values) out.push_back(v * 16);
  return out;
}

}  // namespace

TEST(CaptureBlocks, Pcm16ConvertsIntoTheSampleScaleWithItsSign) {
  const uint8_t bytes[] = {0xff, 0x7f, 0x00, 0x80, 0x01, 0x00, 0xff, 0xff};
  Sample out[4];
  convertFromPcm16(bytes, 2, 2, out);
  EXPECT_EQ(out[0], 524272);
  EXPECT_EQ(out[1], -524288);
  EXPECT_EQ(out[2], 16);
  EXPECT_EQ(out[3], -16);
}

TEST(CaptureBlocks, DcFilterMatchesTheRecurrenceAcrossBlocksAndRemovesAnOffset) {
  // Noise on a large offset, in blocks of uneven length, at three rates and
  // with one and two channels.
  for (int32_t rate : {8000, 44100, 192000}) {
    for (int channels : {1, 2}) {
      Signal signal{rate, channels, {}};
      std::mt19937 random(rate + channels);
      std::uniform_int_distribution<int> noise(-3000, 3000);
      const int64_t frames = rate * 3;
      for (int64_t i = 0; i < frames * channels; ++i) signal.samples.push_back(static_cast<int16_t>(12000 + noise(random)));
      std::vector<Sample> expected = referenceFiltered(signal);

      std::vector<Sample> samples = asSamples(signal.samples);
      DcFilter filter(rate, channels);
      for (int64_t at = 0, step = 1; at < frames; at += step, step = step * 3 % 997 + 1) {
        int64_t count = std::min<int64_t>(step, frames - at);
        filter.process(samples.data() + at * channels, static_cast<int32_t>(count));
      }
      ASSERT_EQ(samples, expected) << rate << " Hz, " << channels << " channels";
      // After a second or two the offset of 12,000 x 16 is gone.
      double sum = 0;
      for (int64_t i = (frames - rate / 2) * channels; i < frames * channels; ++i) sum += samples[i];
      EXPECT_LT(std::abs(sum / (rate / 2 * channels)), 1000.0) << rate;
    }
  }
  EXPECT_EQ(DcFilter::constantFor(44100), 5);
  EXPECT_EQ(DcFilter::constantFor(8000), 25);
  EXPECT_EQ(DcFilter::constantFor(0), 1);
}

TEST(CaptureBlocks, PeakLevelsFollowTheirDefinitionFromSilenceToBeyondFullScale) {
  // Peaks in 16-bit steps: full scale reads 12, a quarter 0, silence -127.
  struct Case {
    int16_t peak;
    int level;
  } cases[] = {{32767, 12}, {-32768, 12}, {8192, 0}, {4096, -6}, {1, -78}, {0, -127}, {16384, 6}, {-517, -24}};
  for (const Case& c : cases) {
    std::vector<Sample> block(100, 0);
    block[37] = c.peak * 16;
    LevelRecord levels = computePeakLevels(block.data(), 100, 1);
    EXPECT_EQ(levels.levels[0], c.level) << c.peak;
    EXPECT_EQ(levels.levels[0], referencePeakLevel(block, 1, 0, 100)) << c.peak;
  }
  // The largest Samples measure without overflow.
  std::vector<Sample> huge = {INT32_MIN + 1, 0};
  EXPECT_EQ(computePeakLevels(huge.data(), 1, 2).levels[0], 84);
  std::vector<Sample> loudest = {2147483647};
  EXPECT_EQ(computePeakLevels(loudest.data(), 1, 1).levels[0], 84);

  // The block level is the louder of the first two channels only.
  std::vector<Sample> stereo = {100, 9000, 0, 0, -20000, 50, 0, 0};
  LevelRecord four = computePeakLevels(stereo.data(), 2, 4);
  EXPECT_EQ(four.channels, 4);
  EXPECT_EQ(blockLevel(four), std::max(four.levels[0], four.levels[1]));
  EXPECT_EQ(four.levels[3], -127);
  LevelRecord mono = computePeakLevels(stereo.data(), 8, 1);
  EXPECT_EQ(blockLevel(mono), mono.levels[0]);
}
