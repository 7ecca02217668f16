#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "devices/loop_source.h"
#include "devices/peak_limit_source.h"
#include "devices/range_source.h"
#include "devices/resample_speed_source.h"
#include "devices/scan_source.h"
#include "devices/tests/player_test_support.h"

namespace {

using devicetest::MemorySource;

// Mono frames whose value is their own frame number (plus offset).
SampleSourceRef countingSource(int32_t frames, int32_t rate, Sample offset = 0) {
  std::vector<Sample> samples(frames);
  for (int32_t f = 0; f < frames; ++f) samples[f] = f + offset;
  return makeRef<MemorySource>(std::move(samples), 1, rate);
}

std::vector<Sample> readSome(SampleSource& source, int32_t frames) {
  std::vector<Sample> out(static_cast<size_t>(frames) * source.channels());
  source.read(out.data(), frames);
  return out;
}

TEST(LoopSource, SeekFoldsPositionsPastTheEndIntoTheLoop) {
  LoopSource loop(countingSource(2000, 1000), 100, 150);
  const std::pair<int32_t, int32_t> cases[] = {{0, 0},     {50, 50},     {149, 149}, {150, 100},
                                               {175, 125}, {199, 149},   {250, 100}, {1013, 113},
                                               {1999, 149}, {INT32_MAX, 100 + (INT32_MAX - 150) % 50}};
  for (auto [to, expected] : cases) {
    loop.seek(to);
    EXPECT_EQ(loop.position(), expected) << to;
  }
  LoopSource empty(countingSource(2000, 1000), 100, 100);
  for (int32_t to : {100, 101, 5000}) {
    empty.seek(to);
    EXPECT_EQ(empty.position(), 100) << to;
  }
  empty.seek(40);
  EXPECT_EQ(empty.position(), 40);
  // A source standing past the loop when wrapped is brought into it.
  auto inner = countingSource(2000, 1000);
  inner->seek(180);
  EXPECT_EQ(LoopSource(inner, 100, 150).position(), 130);
  // Milliseconds by the shared rule.
  EXPECT_EQ(static_cast<LoopSource&>(*LoopSource::fromMilliseconds(countingSource(10, 44100), 1500, 2001)).loopEnd(),
            88244);
}

TEST(LoopSource, ReadsTurnBackAtTheLoopEndAndNeverRunOut) {
  LoopSource loop(countingSource(1000, 1000), 300, 700);
  loop.seek(650);
  auto out = readSome(loop, 500);
  EXPECT_EQ(out[0], 650);
  EXPECT_EQ(out[49], 699);
  EXPECT_EQ(out[50], 300);
  EXPECT_EQ(out[449], 699);
  EXPECT_EQ(out[450], 300);
  EXPECT_EQ(out[499], 349);
  EXPECT_EQ(loop.position(), 350);
  // A read that ends exactly at the loop end stands at the loop start.
  loop.seek(600);
  readSome(loop, 100);
  EXPECT_EQ(loop.position(), 300);
  EXPECT_GT(loop.length() - loop.position(), 0);
}

TEST(LoopSource, ASelectionShorterThan256FramesLoopsWithoutSpinning) {
  // Ten frames of a selection: each turn plays them and then silence up to
  // 256 frames, round and round.
  auto range = makeRef<RangeSource>(countingSource(1000, 8000, 1), 10, 20);
  LoopSource loop(range, 10, 20);
  auto out = readSome(loop, 256 * 40 + 5);
  for (int turn = 0; turn < 40; ++turn) {
    for (int f = 0; f < 256; ++f) {
      Sample expected = f < 10 ? 11 + f : 0;
      ASSERT_EQ(out[turn * 256 + f], expected) << turn << " " << f;
    }
  }
  EXPECT_EQ(loop.position(), 15);
  EXPECT_GT(loop.length() - loop.position(), 0);
  // An empty loop still moves on.
  LoopSource empty(countingSource(10, 8000), 0, 0);
  readSome(empty, 10000);
  EXPECT_LT(empty.position(), 256);
}

TEST(RangeSource, KeepsTheSoundsFrameNumbersAndPlaysNothingOutside) {
  RangeSource range(countingSource(1000, 8000), 100, 200);
  EXPECT_EQ(range.position(), 100);
  EXPECT_EQ(range.length(), 200);
  auto out = readSome(range, 150);
  EXPECT_EQ(out[0], 100);
  EXPECT_EQ(out[99], 199);
  EXPECT_EQ(out[100], 0);
  EXPECT_EQ(out[149], 0);
  range.seek(0);
  EXPECT_EQ(range.position(), 100);
  range.seek(5000);
  EXPECT_EQ(range.position(), 200);
  range.seek(150);
  EXPECT_EQ(readSome(range, 1)[0], 150);
}

TEST(ScanSource, GrainSizeAndWindowShape) {
  EXPECT_EQ(ScanSource::grainFrames(44100), 490);
  EXPECT_EQ(ScanSource::grainFrames(8000), 88);
  EXPECT_EQ(ScanSource::grainFrames(1000), 20);
  EXPECT_EQ(ScanSource::grainFrames(384000), 2730);

  ScanSource scan(countingSource(100, 44100), 1, 1, 8000);
  const auto& window = scan.window();
  ASSERT_EQ(window.size(), 490u);
  for (int k = 0; k < 245; ++k) ASSERT_EQ(window[k], 1 << 24);
  EXPECT_EQ(window[245], 1 << 24);                       // cos 0
  EXPECT_NEAR(window[245 + 245 / 2], 1 << 23, 1 << 17);  // half-way down
  EXPECT_LT(window[489], 1 << 12);                       // nearly nothing at the end
  for (size_t k = 1; k < window.size(); ++k) ASSERT_LE(window[k], window[k - 1]);
}

TEST(ScanSource, GrainsPlayForwardsFromStartsOneStepApartAndCrossFade) {
  // 9,000 Hz: grains of 100 frames; twice normal speed, so steps of 200.
  ScanSource scan(countingSource(100000, 9000), 2.0, 2.0, 1000);
  auto out = readSome(scan, 100);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(out[i], i);  // the first grain's head, alone
  EXPECT_EQ(scan.position(), 0);
  for (int period = 1; period <= 4; ++period) {
    out = readSome(scan, 100);
    int32_t start = 200 * period;
    EXPECT_EQ(scan.position(), start);
    // The first half: the previous grain's tail alone; then the new grain's
    // head takes over.
    for (int i = 0; i < 50; ++i) ASSERT_EQ(out[i], start - 200 + 100 + i) << period << " " << i;
    for (int i = 50; i < 100; ++i) {
      ASSERT_GE(out[i], start - 100 + i - 1);
      ASSERT_LE(out[i], start + i);
    }
    EXPECT_NEAR(out[99], start + 99, 2);
  }
  EXPECT_EQ(scan.length(), 100000);
}

TEST(ScanSource, StepRampsFromStartToFinalSpeedOverTheRampTime) {
  // 9,000 Hz mono, 1 s ramp: 90 grains of 100 frames.
  ScanSource scan(countingSource(1000000, 9000), 0.5, 7.0, 1000);
  readSome(scan, 100);
  EXPECT_NEAR(scan.step(), 50 + (700 - 50) * 100.0 / 9000, 1e-9);
  int32_t previous = scan.position();
  double previousStep = scan.step();
  for (int grain = 1; grain < 89; ++grain) {
    readSome(scan, 100);
    EXPECT_EQ(scan.position() - previous, std::llround(previousStep));
    EXPECT_GT(scan.step(), previousStep);
    EXPECT_LT(scan.step(), 700);
    previous = scan.position();
    previousStep = scan.step();
  }
  readSome(scan, 100);
  EXPECT_DOUBLE_EQ(scan.step(), 700);
}

TEST(ScanSource, StereoRampTakesTheSameTimeAsMono) {
  // 9,000 Hz, 1 s ramp: the final speed after 90 grains, not 180.
  for (int channels : {1, 2}) {
    auto inner = makeRef<MemorySource>(std::vector<Sample>(static_cast<size_t>(2000000) * channels), channels, 9000);
    ScanSource scan(inner, 0.5, 7.0, 1000);
    int grains = 0;
    while (scan.step() < 700 && grains < 1000) {
      readSome(scan, 100);
      ++grains;
    }
    EXPECT_EQ(grains, 90) << channels << " channels";
  }
}

TEST(ScanSource, BackwardsReadsBehindItsPositionAndEndsAtFrameZero) {
  auto inner = countingSource(100000, 9000);
  inner->seek(1000);
  ScanSource scan(inner, -1.0, -1.0, 1000);
  EXPECT_EQ(scan.length(), 2000);  // twice the position
  auto out = readSome(scan, 100);
  EXPECT_EQ(out[0], 900);
  EXPECT_EQ(out[99], 999);
  // As a player pulls it: until nothing is left.
  int reads = 0;
  while (scan.length() - scan.position() >= 1 && reads < 1000) {
    readSome(scan, std::min(scan.length() - scan.position(), 100));
    ++reads;
  }
  EXPECT_EQ(scan.position(), 0);
  EXPECT_EQ(scan.length(), 0);
  EXPECT_LT(reads, 20);
}

TEST(PeakLimitSource, KeepsEverySampleWithinThePeakAndLeavesQuietPartsAlone) {
  const int32_t rate = 44100;
  const int32_t frames = rate * 3;
  std::vector<Sample> samples(static_cast<size_t>(frames) * 2);
  for (int32_t f = 0; f < frames; ++f) {
    double t = static_cast<double>(f) / rate;
    // Quiet everywhere, four times full scale from 1.0 s to 1.2 s, with a
    // single spike on the right channel at 2.0 s.
    double amplitude = (t >= 1.0 && t < 1.2) ? 4.0 * 524288 : 100000;
    samples[2 * f] = static_cast<Sample>(amplitude * std::sin(f * 0.05));
    samples[2 * f + 1] = f == 2 * rate ? 3000000 : samples[2 * f] / 2;
  }
  auto inner = makeRef<MemorySource>(samples, 2, rate, 1 << 21);
  PeakLimitSource limiter(inner, 524272);
  EXPECT_EQ(limiter.nominalPeak(), 524272);
  EXPECT_EQ(PeakLimitSource::blockFrames(rate), 1260);
  EXPECT_EQ(limiter.length(), frames);

  std::vector<Sample> out(samples.size());
  int32_t done = 0;
  while (done < frames) {
    int32_t count = std::min(4410, frames - done);
    limiter.read(out.data() + 2 * done, count);
    done += count;
    ASSERT_EQ(limiter.position(), done);
    ASSERT_EQ(limiter.length(), frames);
  }
  Sample loudest = 0;
  for (Sample s : out) loudest = std::max(loudest, std::abs(s));
  EXPECT_LE(loudest, 524272);
  EXPECT_GT(loudest, 524272 * 9 / 10);  // limited, not squashed
  // Before the look-ahead sees the burst, and once the gain has recovered.
  for (int32_t f = 0; f < rate * 9 / 10; ++f) ASSERT_EQ(out[2 * f], samples[2 * f]) << f;
  int changed = 0;
  for (int32_t f = rate * 17 / 10; f < rate * 19 / 10; ++f) changed += out[2 * f] != samples[2 * f];
  EXPECT_EQ(changed, 0);
  EXPECT_LE(std::abs(out[2 * (2 * rate) + 1]), 524272);

  // Bounds of the 16-bit range: its own extremes pass untouched.
  std::vector<Sample> extremes(12000, 0);
  extremes[1000] = -524288;
  extremes[2000] = 524272;
  extremes[9000] = -524290;
  PeakLimitSource sixteen(makeRef<MemorySource>(extremes, 1, rate, 1 << 21), 524272, -524288);
  auto limited = readSome(sixteen, 12000);
  EXPECT_EQ(std::vector<Sample>(limited.begin(), limited.begin() + 5000),
            std::vector<Sample>(extremes.begin(), extremes.begin() + 5000));
  EXPECT_GE(limited[9000], -524288);
  EXPECT_LT(limited[9000], -524270);
}

TEST(PeakLimitSource, EndsWhereItsSourceEndsAndFollowsLoopsAndScans) {
  // Ten frames: gone after ten, although it read blocks ahead.
  PeakLimitSource shortOne(countingSource(10, 44100), 524272);
  readSome(shortOne, 10);
  EXPECT_EQ(shortOne.position(), 10);
  EXPECT_LE(shortOne.length() - shortOne.position(), 0);

  // A loop never runs out and positions stay inside it.
  auto loop = makeRef<LoopSource>(countingSource(44100, 44100), 1000, 3000);
  PeakLimitSource looped(loop, 524272);
  for (int i = 0; i < 100; ++i) {
    ASSERT_GE(looped.length() - looped.position(), 1);
    readSome(looped, 777);
    ASSERT_GE(looped.position(), 0);
    ASSERT_LE(looped.position(), 3000);
  }

  // A backward scan ends when it reaches the start.
  auto inner = countingSource(44100, 44100);
  inner->seek(20000);
  PeakLimitSource scanned(makeRef<ScanSource>(inner, -3.0, -3.0, 8000), 524272);
  int reads = 0;
  while (scanned.length() - scanned.position() >= 1 && reads < 1000) {
    readSome(scanned, std::min(scanned.length() - scanned.position(), 4410));
    ++reads;
  }
  EXPECT_LT(reads, 1000);

  // Seeking starts afresh at the new place.
  PeakLimitSource seeking(countingSource(44100, 44100), 524272);
  readSome(seeking, 3000);
  seeking.seek(500);
  EXPECT_EQ(seeking.position(), 500);
  EXPECT_EQ(readSome(seeking, 1)[0], 500);
}

TEST(ResampleSpeedSource, PlaysFramesAtTheSpeedWithPositionsOfItsSource) {
  // Frame f holds 16 f, so interpolation is exact.
  std::vector<Sample> samples(10000);
  for (int f = 0; f < 10000; ++f) samples[f] = 16 * f;
  ResampleSpeedSource slow(makeRef<MemorySource>(samples, 1, 8000), 50);
  auto out = readSome(slow, 3000);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(out[i], 8 * i) << i;
  EXPECT_EQ(slow.position(), 1500);
  EXPECT_EQ(slow.length(), 10000);

  ResampleSpeedSource fast(makeRef<MemorySource>(samples, 1, 8000), 150);
  fast.seek(100);
  out = readSome(fast, 4000);  // across several chunks
  for (int i = 0; i < 4000; ++i) ASSERT_EQ(out[i], 1600 + 24 * i) << i;
  EXPECT_EQ(fast.position(), 6100);
}

}  // namespace
