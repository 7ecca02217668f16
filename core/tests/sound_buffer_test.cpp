#include "core/sound_buffer.h"

#include <gtest/gtest.h>

#include "core/tests/block_test_support.h"

namespace {

using coretest::bufferFrom;
using coretest::ramp;
using coretest::readAllFrames;

// The frames a..b-1 of a mono ramp starting at 1, the shape of every test sound here.
std::vector<Sample> frames(int32_t a, int32_t b) {
  std::vector<Sample> out;
  for (int32_t f = a; f < b; ++f) out.push_back(1 + f);
  return out;
}
std::vector<Sample> silence(int32_t n) { return std::vector<Sample>(n, 0); }
std::vector<Sample> join(std::initializer_list<std::vector<Sample>> parts) {
  std::vector<Sample> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(SoundBuffer, NewBufferIs44100MonoAndEmpty) {
  SoundBuffer buffer;
  EXPECT_EQ(buffer.sampleRate(), 44100);
  EXPECT_EQ(buffer.channels(), 1);
  EXPECT_EQ(buffer.totalFrames(), 0);
}

TEST(SoundBuffer, DeleteRangeCutsSpansAndSharesTheBlockWhenSplitting) {
  SoundBuffer sound = bufferFrom(ramp(100, 1), 1);
  BlockNumber block = sound.spans()[0].block();
  sound.deleteRange(10, 20);
  ASSERT_EQ(sound.spans().size(), 2u);
  EXPECT_EQ(blockRefCount(block), 2);
  EXPECT_EQ(sound.spans()[1].offset(), 20);
  EXPECT_EQ(readAllFrames(sound), join({frames(0, 10), frames(20, 100)}));

  struct Case {
    int32_t start, end;
    std::vector<Sample> expected;
  } cases[] = {
      {-5, 3, frames(3, 100)},   // a negative start counts as 0
      {90, 500, frames(0, 90)},  // an end past the sound removes to the end
      {30, 20, frames(0, 100)},  // start > end: nothing
      {-9, -1, frames(0, 100)},  // end < 0: nothing
      {0, 100, {}},
  };
  for (const auto& c : cases) {
    SoundBuffer copy = bufferFrom(ramp(100, 1), 1);
    copy.deleteRange(c.start, c.end);
    EXPECT_EQ(readAllFrames(copy), c.expected) << c.start << ".." << c.end;
  }
  SoundBuffer whole = bufferFrom(ramp(100, 1), 1);
  whole.deleteRange(0, whole.totalFrames());
  EXPECT_TRUE(whole.spans().empty());
}

TEST(SoundBuffer, DeleteAcrossManySpansKeepsTheRightFrames) {
  SoundBuffer sound = bufferFrom(ramp(10, 1), 1);
  SoundBuffer piece = bufferFrom(ramp(5, 1, 101), 1);
  ASSERT_TRUE(sound.insertBuffer(5, piece));
  ASSERT_TRUE(sound.insertBuffer(12, piece));  // spans: 0-4, p, 5-6, p, 7-9
  std::vector<Sample> before = readAllFrames(sound);
  sound.deleteRange(3, 17);
  std::vector<Sample> expected(before.begin(), before.begin() + 3);
  expected.insert(expected.end(), before.begin() + 17, before.end());
  EXPECT_EQ(readAllFrames(sound), expected);
}

TEST(SoundBuffer, InsertBufferPlacesOtherInsideBeforeOrPastTheSound) {
  SoundBuffer other = bufferFrom({-1, -2, -3}, 1);
  struct Case {
    int32_t pos;
    std::vector<Sample> expected;
  } cases[] = {
      {4, join({frames(0, 4), {-1, -2, -3}, frames(4, 10)})},
      {0, join({{-1, -2, -3}, frames(0, 10)})},
      {10, join({frames(0, 10), {-1, -2, -3}})},
      {13, join({frames(0, 10), silence(3), {-1, -2, -3}})},
      {-100, join({{-1, -2, -3}, silence(100), frames(0, 10)})},
  };
  for (const auto& c : cases) {
    SoundBuffer sound = bufferFrom(ramp(10, 1), 1);
    ASSERT_TRUE(sound.insertBuffer(c.pos, other));
    EXPECT_EQ(readAllFrames(sound), c.expected) << c.pos;
  }
  SoundBuffer self = bufferFrom(ramp(4, 1), 1);
  ASSERT_TRUE(self.insertBuffer(2, self));
  EXPECT_EQ(readAllFrames(self), join({frames(0, 2), frames(0, 4), frames(2, 4)}));
}

TEST(SoundBuffer, InsertSilenceDropsThePartBeforeZeroAndPadsPastTheEnd) {
  struct Case {
    int32_t pos, count;
    std::vector<Sample> expected;
  } cases[] = {
      {-5, 3, frames(0, 6)},
      {-5, 8, join({silence(3), frames(0, 6)})},
      {2, 2, join({frames(0, 2), silence(2), frames(2, 6)})},
      {8, 2, join({frames(0, 6), silence(4)})},
      {3, 0, frames(0, 6)},
  };
  for (const auto& c : cases) {
    SoundBuffer sound = bufferFrom(ramp(6, 1), 1);
    ASSERT_TRUE(sound.insertSilence(c.pos, c.count));
    EXPECT_EQ(readAllFrames(sound), c.expected) << c.pos << "," << c.count;
  }
}

TEST(SoundBuffer, ExtractRangePadsWithSilenceOnBothSides) {
  SoundBuffer source = bufferFrom(ramp(30, 1), 1, 22050);
  SoundBuffer part;
  ASSERT_TRUE(part.extractRange(source, -10, 20));
  EXPECT_EQ(part.totalFrames(), 30);
  EXPECT_EQ(part.sampleRate(), 22050);
  EXPECT_EQ(readAllFrames(part), join({silence(10), frames(0, 20)}));
  ASSERT_TRUE(part.extractRange(source, 25, 40));
  EXPECT_EQ(readAllFrames(part), join({frames(25, 30), silence(10)}));
  ASSERT_TRUE(part.extractRange(part, 0, 3));  // from itself
  EXPECT_EQ(readAllFrames(part), frames(25, 28));
}

TEST(SoundBuffer, CutReplaceCropAndRepeat) {
  SoundBuffer sound = bufferFrom(ramp(10, 1), 1);
  SoundBuffer clip;
  ASSERT_TRUE(sound.cutRange(clip, 2, 5));
  EXPECT_EQ(readAllFrames(clip), frames(2, 5));
  EXPECT_EQ(readAllFrames(sound), join({frames(0, 2), frames(5, 10)}));

  ASSERT_TRUE(sound.replaceRange(0, 2, clip));
  EXPECT_EQ(readAllFrames(sound), join({frames(2, 5), frames(5, 10)}));

  sound.cropToRange(1, 4);
  EXPECT_EQ(readAllFrames(sound), frames(3, 6));

  SoundBuffer loop = bufferFrom(ramp(6, 1), 1);
  ASSERT_TRUE(loop.repeatRange(1, 3, 2));
  EXPECT_EQ(readAllFrames(loop), join({frames(0, 1), frames(1, 3), frames(1, 3), frames(1, 3), frames(3, 6)}));

  SoundBuffer head = bufferFrom(ramp(6, 1), 1);
  head.deleteHead(2);
  head.truncateAt(3);
  EXPECT_EQ(readAllFrames(head), frames(2, 5));
}

TEST(SoundBuffer, OperationsPastTheFrameLimitRefuseAndChangeNothing) {
  SoundBuffer sound = bufferFrom(ramp(10, 1), 1);
  ASSERT_TRUE(sound.insertSilence(10, INT32_MAX - 20));
  int32_t length = sound.totalFrames();
  EXPECT_EQ(length, INT32_MAX - 10);
  EXPECT_FALSE(sound.insertSilence(0, 11));
  EXPECT_FALSE(sound.insertBuffer(0, bufferFrom(ramp(11, 1), 1)));
  EXPECT_FALSE(sound.repeatRange(0, 10, 2));
  EXPECT_FALSE(sound.replaceRange(0, 1, bufferFrom(ramp(12, 1), 1)));
  SoundBuffer small = bufferFrom(ramp(10, 1), 1);
  EXPECT_FALSE(small.repeatRange(0, 10, INT32_MAX / 5));
  EXPECT_FALSE(small.insertBuffer(-INT32_MAX, small));
  EXPECT_EQ(sound.totalFrames(), length);
  EXPECT_EQ(readAllFrames(small), frames(0, 10));
}

TEST(SoundBuffer, ScaleGainHalvesExactlyAndSaturates) {
  SoundBuffer sound = bufferFrom({1000, -1000, 524272}, 1);
  sound.scaleGain(50);
  EXPECT_EQ(sound.spans()[0].gain(), 8388608);
  EXPECT_EQ(sound.spans()[0].gain() >> 15, 256);
  EXPECT_EQ(readAllFrames(sound), (std::vector<Sample>{500, -500, 262136}));
  sound.scaleGain(100);
  EXPECT_EQ(sound.spans()[0].gain(), 8388608);
  sound.scaleGain(100000);
  EXPECT_EQ(sound.spans()[0].gain(), INT32_MAX);
  sound.scaleGain(-100000);
  EXPECT_EQ(sound.spans()[0].gain(), INT32_MIN);
  sound.scaleGain(0);
  EXPECT_EQ(readAllFrames(sound), (std::vector<Sample>{0, 0, 0}));

  SoundBuffer inverted = bufferFrom({1000, -1000}, 1);
  inverted.scaleGain(-100);
  EXPECT_EQ(readAllFrames(inverted), (std::vector<Sample>{-1000, 1000}));
}

TEST(SoundBuffer, ScaleRangeTouchesOnlyTheRangeAndNeverTheLength) {
  SoundBuffer sound = bufferFrom(std::vector<Sample>(8, 1000), 1);
  sound.scaleRange(2, 5, 300);
  EXPECT_EQ(readAllFrames(sound), (std::vector<Sample>{1000, 1000, 3000, 3000, 3000, 1000, 1000, 1000}));
  sound.scaleRange(-4, 1, 0);
  sound.scaleRange(7, 50, 0);
  EXPECT_EQ(readAllFrames(sound), (std::vector<Sample>{0, 1000, 3000, 3000, 3000, 1000, 1000, 0}));
  // Gains above 8 on a loud sample clamp instead of wrapping.
  SoundBuffer loud = bufferFrom({524272 * 1000, -524272 * 1000}, 1);
  loud.scaleRange(0, 2, 1000);
  EXPECT_EQ(readAllFrames(loud), (std::vector<Sample>{INT32_MAX, INT32_MIN}));
}

}  // namespace
