#include <gtest/gtest.h>

#include "effects/effect_preview_range.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

struct RangeCase {
  int32_t soundFrames, selectionStart, selectionEnd;
  PreviewRange expected;
};

void expectRange(const PreviewRange& got, const PreviewRange& expected, const std::string& what) {
  EXPECT_EQ(got.start, expected.start) << what;
  EXPECT_EQ(got.end, expected.end) << what;
  EXPECT_EQ(got.selectionStart, expected.selectionStart) << what;
  EXPECT_EQ(got.selectionEnd, expected.selectionEnd) << what;
}

TEST(EffectPreviewRange, SelectionPreviewIsTheFirstTenSecondsOfTheSelectionOrOfTheSound) {
  // 8,000 Hz: ten seconds are 80,000 frames.
  const RangeCase cases[] = {
      {200000, 1000, 5000, {1000, 5000, 0, 4000}},        // short selection: all of it
      {200000, 1000, 150000, {1000, 81000, 0, 80000}},    // long selection: its head
      {200000, 3000, 3000, {0, 80000, 0, 80000}},         // nothing selected: the sound's head
      {200000, 5000, 1000, {0, 80000, 0, 80000}},         // an end before the start selects nothing
      {200000, 190000, 250000, {190000, 200000, 0, 10000}},  // past the end: cut at the sound's end
      {30000, 0, 0, {0, 30000, 0, 30000}},                // a sound shorter than ten seconds
      {0, 0, 0, {0, 0, 0, 0}},                            // an empty sound
  };
  for (const RangeCase& c : cases)
    expectRange(selectionPreviewRange(c.soundFrames, 8000, c.selectionStart, c.selectionEnd), c.expected,
                std::to_string(c.soundFrames) + " " + std::to_string(c.selectionStart) + ".." +
                    std::to_string(c.selectionEnd));
}

TEST(EffectPreviewRange, CrossFadePreviewHearsTheJoinWithTwoSecondsEitherSide) {
  // 1,000 Hz, so that milliseconds are frames and two seconds 2,000 frames.
  struct CrossCase {
    RangeCase range;
    CrossFadeParams params;
  };
  const CrossCase cases[] = {
      // No lead: the join starts at the selection start and ends at its end.
      {{100000, 20000, 50000, {18000, 52000, 2000, 32000}}, {300, 300, 300}},
      // Lead 500 before the start; the second stream reads 800 past the end.
      {{100000, 20000, 50000, {17500, 52800, 2500, 32500}}, {0, 500, 800}},
      // The join would start before the sound: the piece starts at 0.
      {{100000, 1000, 3000, {0, 5300, 1000, 3000}}, {0, 1500, 300}},
      // The second stream reads past the sound's end: the piece ends there.
      {{100000, 97000, 99000, {95000, 100000, 2000, 4000}}, {100, 100, 2000}},
      // Nothing selected: the effect takes the whole sound, so does the piece.
      {{100000, 40000, 40000, {0, 100000, 0, 100000}}, {300, 300, 300}},
      // Negative times count as nothing: the piece is the selection and its context.
      {{100000, 20000, 50000, {18000, 52000, 2000, 32000}}, {-300, -300, -300}},
  };
  for (const CrossCase& c : cases)
    expectRange(crossFadePreviewRange(c.range.soundFrames, 1000, c.range.selectionStart, c.range.selectionEnd,
                                      c.params),
                c.range.expected,
                std::to_string(c.range.selectionStart) + ".." + std::to_string(c.range.selectionEnd) + " fade in " +
                    std::to_string(c.params.FadeInTimeMS));
}

// The piece rendered alone must sound exactly like the same stretch of the
// whole sound after the effect, including at the sound's ends.
TEST(EffectPreviewRange, CrossFadeOnThePieceMatchesTheEffectOnTheWholeSound) {
  testkit::ScratchFolder scratch;
  const int32_t rate = 1000;
  std::vector<Sample> noise(2 * 12000);
  uint32_t seed = 12345;
  for (Sample& s : noise) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<Sample>(seed >> 13) - (1 << 18);
  }
  struct Join {
    int32_t start, end;
    CrossFadeParams params;
  } joins[] = {{5000, 7000, {200, 700, 400}}, {300, 2000, {0, 900, 300}}, {10500, 11500, {100, 200, 1500}}};
  for (const Join& join : joins) {
    SoundBuffer whole = soundFrom(noise, 2, rate);
    const PreviewRange range = crossFadePreviewRange(whole.totalFrames(), rate, join.start, join.end, join.params);
    SoundBuffer piece;
    ASSERT_TRUE(piece.extractRange(whole, range.start, range.end));
    ASSERT_EQ(crossFade(piece, range.selectionStart, range.selectionEnd, join.params), JobResult::Done);
    ASSERT_EQ(crossFade(whole, join.start, join.end, join.params), JobResult::Done);
    const std::vector<Sample> pieceSamples = samplesOf(piece), wholeSamples = samplesOf(whole);
    ASSERT_LE(range.start * 2 + pieceSamples.size(), wholeSamples.size()) << join.start;
    const std::vector<Sample> sameStretch(wholeSamples.begin() + range.start * 2,
                                          wholeSamples.begin() + range.start * 2 + pieceSamples.size());
    EXPECT_EQ(pieceSamples, sameStretch) << "join " << join.start << ".." << join.end;
  }
}

}  // namespace
