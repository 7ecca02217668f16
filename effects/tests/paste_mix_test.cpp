#include <gtest/gtest.h>

#include <vector>

#include "core/block_store.h"
#include "effects/edit_operations.h"
#include "effects/tests/edit_test_support.h"

namespace {

using edittest::CancelAfter;
using edittest::constantSound;
using edittest::samplesOf;
using edittest::soundFrom;

constexpr int32_t kRate = 1000;  // one frame per millisecond

std::vector<Sample> repeated(std::initializer_list<std::pair<int, Sample>> runs) {
  std::vector<Sample> out;
  for (auto [count, value] : runs) out.insert(out.end(), count, value);
  return out;
}

TEST(PasteMix, ASourceLongerThanTheSelectionFollowsTheChosenMode) {
  // Document: ten frames of 1000. Source: six frames of 100. Selection 2..4.
  struct Case {
    LongerMix mode;
    std::vector<Sample> expected;
    Selection after;
  } cases[] = {
      // Room is made after the selection: four frames of silence, mixed.
      {LongerMix::InsertSilence, repeated({{2, 1000}, {2, 1100}, {4, 100}, {6, 1000}}), {2, 8, 2}},
      // The source runs on over the audio after the selection.
      {LongerMix::IncreaseSelection, repeated({{2, 1000}, {6, 1100}, {2, 1000}}), {2, 8, 2}},
      // Only the selection; over the last 2 ms the source falls 2/2, 1/2.
      {LongerMix::FadeOut, repeated({{2, 1000}, {1, 1100}, {1, 1050}, {6, 1000}}), {2, 4, 2}},
  };
  SoundBuffer source = constantSound(6, 100, 1, kRate);
  LinearFallbackConverter converter;
  for (const auto& c : cases) {
    SoundBuffer sound = constantSound(10, 1000, 1, kRate);
    MixSettings settings;
    settings.longer = c.mode;
    settings.fadeOutMs = 2;
    EditResult result = pasteMix(sound, {2, 4, 3}, source, settings, converter);
    ASSERT_EQ(result.status, EditStatus::Done);
    EXPECT_EQ(samplesOf(sound), c.expected) << static_cast<int>(c.mode);
    EXPECT_EQ(result.selection, c.after);
    EXPECT_EQ(result.leadInFrames, kRate / 2);
  }
}

TEST(PasteMix, ThreeSecondsOverOneSecondWithInsertSilenceAddsTwoSeconds) {
  SoundBuffer sound = constantSound(5 * kRate, 10, 1, kRate);
  LinearFallbackConverter converter;
  MixSettings half;
  half.volumePercent = 50;
  ASSERT_EQ(pasteMix(sound, {kRate, 2 * kRate, 0}, constantSound(3 * kRate, 40, 1, kRate), half, converter).status,
            EditStatus::Done);
  EXPECT_EQ(sound.totalFrames(), 7 * kRate);
  // Energy: 1 s of 10 + 20 over the selection, 2 s of 20 in the new room, 4 s of 10.
  int64_t sum = 0;
  for (Sample s : samplesOf(sound)) sum += s;
  EXPECT_EQ(sum, int64_t{kRate} * (30 + 2 * 20 + 4 * 10));
}

TEST(PasteMix, PanTurnsDownTheFarSideOnly) {
  struct Case {
    int32_t pan;
    Sample left, right;
  } cases[] = {
      {50, 500, 500}, {0, 500, 0}, {100, 0, 500}, {75, 250, 500}, {-20, 500, 0},
  };
  SoundBuffer source = constantSound(4, 1000, 2, kRate);
  LinearFallbackConverter converter;
  for (const auto& c : cases) {
    SoundBuffer sound = constantSound(4, 0, 2, kRate);
    MixSettings settings;
    settings.volumePercent = 50;
    settings.pan = c.pan;
    ASSERT_EQ(pasteMix(sound, {0, 4, 0}, source, settings, converter).status, EditStatus::Done);
    std::vector<Sample> samples = samplesOf(sound);
    EXPECT_EQ(samples[0], c.left) << c.pan;
    EXPECT_EQ(samples[1], c.right) << c.pan;
  }
}

TEST(PasteMix, ACancelledOrFailedMixLeavesTheDocumentExactlyAsItWas) {
  // Longer than one chunk, so the cancel comes between chunks.
  SoundBuffer original = constantSound(3 * kProcessChunkFrames, 7, 1, kRate);
  SoundBuffer source = constantSound(3 * kProcessChunkFrames, 5, 1, kRate);
  LinearFallbackConverter converter;
  const size_t filesBefore = edittest::blockFileCount();

  SoundBuffer sound = original;
  CancelAfter cancel(2);
  EditResult result = pasteMix(sound, {10, 20, 15}, source, MixSettings{}, converter, &cancel);
  EXPECT_EQ(result.status, EditStatus::Cancelled);
  EXPECT_EQ(result.selection, (Selection{10, 20, 15}));
  EXPECT_EQ(sound.totalFrames(), original.totalFrames());
  ASSERT_EQ(sound.spans().size(), 1u);
  EXPECT_EQ(sound.spans()[0].block(), original.spans()[0].block());
  EXPECT_EQ(edittest::blockFileCount(), filesBefore);  // the partial mix is gone

  // No block number left for the mix's writer: it fails, nothing changes.
  std::vector<BlockNumber> taken;
  for (BlockNumber b = allocateBlock(); b != NoBlock; b = allocateBlock()) taken.push_back(b);
  result = pasteMix(sound, {10, 20, 15}, source, MixSettings{}, converter);
  for (BlockNumber b : taken) releaseBlock(b);
  EXPECT_EQ(result.status, EditStatus::Failed);
  ASSERT_EQ(sound.spans().size(), 1u);
  EXPECT_EQ(sound.spans()[0].block(), original.spans()[0].block());
  EXPECT_EQ(sound.totalFrames(), original.totalFrames());
}

TEST(PasteMix, AnEmptySelectionMixesTheWholeSourceAtItsStartInEveryMode) {
  SoundBuffer source = constantSound(3, 100, 1, kRate);
  LinearFallbackConverter converter;
  for (LongerMix mode : {LongerMix::IncreaseSelection, LongerMix::FadeOut}) {
    SoundBuffer sound = constantSound(6, 1000, 1, kRate);
    MixSettings settings;
    settings.longer = mode;
    ASSERT_EQ(pasteMix(sound, {2, 2, 2}, source, settings, converter).status, EditStatus::Done);
    EXPECT_EQ(samplesOf(sound), repeated({{2, 1000}, {3, 1100}, {1, 1000}})) << static_cast<int>(mode);
  }
  SoundBuffer sound = constantSound(6, 1000, 1, kRate);
  ASSERT_EQ(pasteMix(sound, {2, 2, 2}, source, MixSettings{}, converter).status, EditStatus::Done);
  EXPECT_EQ(samplesOf(sound), repeated({{2, 1000}, {3, 100}, {4, 1000}}));

  // Running on past the end of the sound lengthens it.
  SoundBuffer shortSound = constantSound(6, 1000, 1, kRate);
  MixSettings runOn;
  runOn.longer = LongerMix::IncreaseSelection;
  ASSERT_EQ(pasteMix(shortSound, {5, 5, 5}, source, runOn, converter).status, EditStatus::Done);
  EXPECT_EQ(samplesOf(shortSound), repeated({{5, 1000}, {1, 1100}, {2, 100}}));
}

}  // namespace
