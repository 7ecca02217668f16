#include <gtest/gtest.h>

#include <algorithm>

#include "effects/amplitude_effects.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

// Frames [loudFrom, loudTo) hold a full-scale square, the rest near silence.
std::vector<Sample> burst(int32_t frames, int32_t loudFrom, int32_t loudTo, int channels) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels, 300);
  for (int32_t f = loudFrom; f < loudTo; ++f)
    for (int c = 0; c < channels; ++c) samples[static_cast<size_t>(f) * channels + c] = f % 2 ? 400000 : -400000;
  return samples;
}

TEST(AutoTrim, CutsToTheLoudPartKeepingARecordOfLeadIn) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder scratch;
  // Silence, 1 s of tone, silence: 2 s and 3 s at 8,000 Hz.
  SoundBuffer sound = makeMaterial(scratch, "burst.wav",
                                   "sox -V1 -n -r 8000 -c 2 -b 16 " + scratch.file("burst.wav") +
                                       " synth 1 sine 440 gain -3 pad 2 3");
  AutoTrimResult trim = autoTrim(sound, {-20});
  ASSERT_EQ(trim.result, JobResult::Done);
  // The tone starts in record 62 (16,000 / 256 = 62.5): start one record earlier.
  EXPECT_EQ(trim.start, 61 * 256);
  EXPECT_EQ(trim.end, (24000 / 256 + 1) * 256);
  EXPECT_EQ(sound.totalFrames(), trim.end - trim.start);
}

TEST(AutoTrim, PlacesRecordsWhereEditsMovedThem) {
  // The loud part sits at frames 5,000..6,000 of its block; the document
  // shows it after 10,000 silent frames, from an offset that is not on a
  // record boundary, with the gain raised 400 % (peaks saturate, no wrap).
  SoundBuffer source = soundFrom(burst(20000, 5000, 6000, 1));
  SoundBuffer sound;
  ASSERT_TRUE(sound.insertSilence(0, 10000));
  SoundBuffer piece;
  ASSERT_TRUE(piece.extractRange(source, 1000, 20000));
  piece.scaleGain(400);
  ASSERT_TRUE(sound.insertBuffer(10000, piece));
  // Document frames of the burst: 10,000 + 4,000 .. 10,000 + 5,000.
  AutoTrimResult trim = autoTrim(sound, {-20});
  ASSERT_EQ(trim.result, JobResult::Done);
  EXPECT_GE(trim.start, 14000 - 2 * 256);
  EXPECT_LE(trim.start, 14000);
  EXPECT_GE(trim.end, 15000);
  EXPECT_LE(trim.end, 15000 + 2 * 256);
  EXPECT_EQ(sound.totalFrames(), trim.end - trim.start);
}

TEST(AutoTrim, LeavesTheSoundWholeWhenNothingIsAboveTheThreshold) {
  struct Row {
    std::vector<Sample> samples;
    int channels;
    int threshold;
  };
  // Stereo, loud only in the first and the last record: the start would
  // come after the end.
  std::vector<Sample> edges = burst(10000, 0, 200, 2);
  const std::vector<Sample> tail = burst(10000, 9990, 10000, 2);
  std::copy(tail.end() - 20, tail.end(), edges.end() - 20);
  for (const Row& row : {Row{std::vector<Sample>(10000, 0), 1, -20},  // silence
                         Row{burst(10000, 3000, 4000, 1), 1, 0},      // 0 dB: nothing above the loudest
                         Row{burst(100, 10, 20, 1), 1, -20},          // shorter than one record
                         Row{edges, 2, -20}}) {
    SoundBuffer sound = soundFrom(row.samples, row.channels);
    std::vector<Sample> before = samplesOf(sound);
    AutoTrimResult trim = autoTrim(sound, {row.threshold});
    EXPECT_EQ(trim.result, JobResult::Done);
    EXPECT_EQ(samplesOf(sound), before) << row.threshold;
  }
}

}  // namespace
