// The display's peak thread: which columns it computes, from which data, and
// what they hold, checked against peaks worked out from the test's samples.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "core/block_store.h"
#include "editor/display/tests/display_test_support.h"
#include "editor/display/wave_display.h"

namespace {

using displaytest::expectedPeaks;
using displaytest::makeTestSound;
using displaytest::TestSound;
using displaytest::TestWindow;

constexpr int kColumns = 600;
constexpr DWORD kPeakWaitMs = 10000;

class WaveDisplayPeaks : public ::testing::Test {
 protected:
  void SetUp() override {
    display = WaveDisplay::create(window.handle(), 100, RECT{0, 0, kColumns + 2, 202});
    ASSERT_TRUE(display);
    ASSERT_EQ(display->columns(), kColumns);
  }

  // Shows the range and waits until its columns are all computed.
  void show(int64_t firstFrame, int64_t framesPerColumn) {
    display->setRange(firstFrame, framesPerColumn * kColumns);
    ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  }

  void expectColumns(const TestSound& sound, int64_t firstFrame, int64_t framesPerColumn, int mode, bool zoom) {
    auto expected = expectedPeaks(sound, firstFrame, framesPerColumn, kColumns, mode, zoom);
    SCOPED_TRACE(testing::Message() << "mode " << mode << " zoom " << zoom << " first " << firstFrame);
    EXPECT_EQ(display->upperColumns(), expected.upper);
    EXPECT_EQ(display->lowerColumns(), expected.lower);
  }

  TestWindow window{kColumns + 2, 202};
  std::unique_ptr<WaveDisplay> display;
};

TEST_F(WaveDisplayPeaks, CloseUpColumnsHoldThePeaksOfTheirSamplesInEveryMode) {
  TestSound sound = makeTestSound(400000);
  display->setSound(sound.buffer);
  struct Case {
    int mode;
    bool zoom;
    int64_t first, framesPerColumn;
  };
  const Case cases[] = {
      {0, false, 12345, 100},  {1, false, 12345, 100},
      {2, false, 12345, 100},  {0, true, 12345, 100},
      {1, true, 0, 7},         {0, false, displaytest::kBurstFrame - 3000, 256},
      // Past the end of the sound the columns are empty.
      {0, false, 400000 - 300 * 100, 100},
  };
  for (const Case& c : cases) {
    display->setMode(c.mode, c.zoom);
    show(c.first, c.framesPerColumn);
    expectColumns(sound, c.first, c.framesPerColumn, c.mode, c.zoom);
  }
  EXPECT_GT(display->peakWork().sampleColumns, 0);
  EXPECT_EQ(display->peakWork().overviewColumns, 0);
}

TEST_F(WaveDisplayPeaks, WideViewsAreDrawnFromTheOverviewFilesWithoutReadingSamples) {
  TestSound sound = makeTestSound(700000);
  // Hide the sample files: whatever reads samples now reads silence.
  ASSERT_EQ(sound.buffer.spans().size(), 1u);
  const std::string samples = blockSamplePath(sound.buffer.spans()[0].block());
  ASSERT_EQ(std::rename(samples.c_str(), (samples + ".hidden").c_str()), 0);
  struct Restore {
    std::string path;
    ~Restore() { std::rename((path + ".hidden").c_str(), path.c_str()); }
  } restore{samples};

  display->setSound(sound.buffer);
  // Lets the first picture (one frame a column) finish before counting.
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  struct Case {
    int mode;
    bool zoom;
    int64_t first, framesPerColumn;
  };
  for (const Case& c : {Case{0, false, 0, 1024}, Case{1, false, 256 * 100, 512}, Case{2, false, 0, 1024}}) {
    // One request at a time, so that the counts below belong to this view alone.
    display->setMode(c.mode, c.zoom);
    ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
    display->resetPeakWork();
    show(c.first, c.framesPerColumn);
    expectColumns(sound, c.first, c.framesPerColumn, c.mode, c.zoom);
    auto work = display->peakWork();
    EXPECT_EQ(work.sampleColumns, 0);
    EXPECT_EQ(work.overviewColumns, kColumns);
    // Two bytes per channel for each 256 frames shown, and nothing else.
    EXPECT_GT(work.overview.bytesRead, 0);
    EXPECT_LE(work.overview.bytesRead, c.framesPerColumn * kColumns / 256 * 4 + 2048);
  }

  // The same columns from the samples come out empty: the wide views above
  // cannot have read them. Exactly 256 frames a column is still close up.
  display->setMode(0, false);
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  display->resetPeakWork();
  show(0, 256);
  EXPECT_EQ(display->upperColumns(), std::vector<uint8_t>(kColumns, 0));
  EXPECT_EQ(display->peakWork().sampleColumns, kColumns);
  display->resetPeakWork();
  show(0, 257);
  EXPECT_EQ(display->peakWork().overviewColumns, kColumns);
  EXPECT_EQ(display->peakWork().sampleColumns, 0);
  EXPECT_NE(display->upperColumns(), std::vector<uint8_t>(kColumns, 0));
}

TEST_F(WaveDisplayPeaks, ScrollingByWholeColumnsComputesOnlyTheColumnsThatCameIntoView) {
  TestSound sound = makeTestSound(400000);
  display->setSound(sound.buffer);
  const int64_t start = 50000;
  show(start, 100);

  struct Step {
    int64_t first;
    int64_t newColumns;
  };
  const Step steps[] = {
      {start + 37 * 100, 37},   // forward
      {start + 17 * 100, 20},   // back
      {start + 17 * 100 + 50, kColumns},  // half a column: nothing lines up
      {start + 17 * 100 + 50 + 700 * 100, kColumns},  // farther than the width
  };
  for (const Step& step : steps) {
    display->resetPeakWork();
    show(step.first, 100);
    EXPECT_EQ(display->peakWork().sampleColumns, step.newColumns) << "first " << step.first;
    expectColumns(sound, step.first, 100, 0, false);
  }

  // A new scale, mode or sound starts over.
  display->resetPeakWork();
  show(start, 50);
  EXPECT_EQ(display->peakWork().sampleColumns, kColumns);
  display->resetPeakWork();
  display->setMode(1, false);
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  EXPECT_EQ(display->peakWork().sampleColumns, kColumns);
  expectColumns(sound, start, 50, 1, false);
  TestSound other = makeTestSound(100000);
  display->resetPeakWork();
  display->setSound(other.buffer);
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  EXPECT_EQ(display->peakWork().sampleColumns, kColumns);
  expectColumns(other, start, 50, 1, false);
}

TEST_F(WaveDisplayPeaks, ResizingRecomputesForTheNewWidthAndNeverPastTheCacheLimit) {
  TestSound sound = makeTestSound(400000);
  display->setSound(sound.buffer);
  show(1000, 100);
  // The span stays: 400 columns now show 150 frames each.
  SetWindowPos(display->window(), nullptr, 0, 0, 402, 202, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_EQ(display->columns(), 400);
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  auto expected = expectedPeaks(sound, 1000, 150, 400, 0, false);
  EXPECT_EQ(display->upperColumns(), expected.upper);
  EXPECT_EQ(display->lowerColumns(), expected.lower);

  SetWindowPos(display->window(), nullptr, 0, 0, 3002, 202, SWP_NOMOVE | SWP_NOZORDER);
  display->setRange(0, 3000 * 10);
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  EXPECT_EQ(display->upperColumns().size(), 2048u);
  expected = expectedPeaks(sound, 0, 10, 2048, 0, false);
  EXPECT_EQ(display->upperColumns(), expected.upper);
}

}  // namespace
