#include "effects/edit_operations.h"

#include <gtest/gtest.h>

#include "effects/tests/edit_test_support.h"

namespace {

using edittest::constantSound;
using edittest::ramp;
using edittest::samplesOf;
using edittest::soundFrom;

constexpr int32_t kRate = 1000;  // one frame per millisecond

// Frames a..b-1 of the mono test sound, whose frame f holds 1 + f.
std::vector<Sample> frames(int32_t a, int32_t b) {
  std::vector<Sample> out;
  for (int32_t f = a; f < b; ++f) out.push_back(1 + f);
  return out;
}
std::vector<Sample> join(std::initializer_list<std::vector<Sample>> parts) {
  std::vector<Sample> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
std::vector<Sample> zeros(int32_t n) { return std::vector<Sample>(n, 0); }

SoundBuffer testSound() { return soundFrom(ramp(100, 1), 1, kRate); }

// A converter that must not be needed, or that fails or cancels on demand.
class ScriptedConverter final : public SoundConverter {
 public:
  explicit ScriptedConverter(JobResult answer) : m_answer(answer) {}
  JobResult convert(const SoundBuffer&, int32_t, int, SoundBuffer&, ProgressCallback*) override {
    ++calls;
    return m_answer;
  }
  int calls = 0;

 private:
  JobResult m_answer;
};

TEST(EditOperations, CutTakesTheClampedSelectionOrEverythingIntoTheClipboard) {
  struct Case {
    Selection selection;
    std::vector<Sample> clipboard, left;
    int32_t cursor;
  } cases[] = {
      {{10, 20, 15}, frames(10, 20), join({frames(0, 10), frames(20, 100)}), 10},
      {{90, 500, 0}, frames(90, 100), frames(0, 90), 90},  // end past the sound
      {{-5, 3, 0}, frames(0, 3), frames(3, 100), 0},       // start before it
      {{40, 40, 40}, frames(0, 100), {}, 0},               // nothing selected: all
  };
  for (const auto& c : cases) {
    SoundBuffer sound = testSound();
    Clipboard clipboard;
    EditResult result = cut(sound, c.selection, clipboard);
    EXPECT_EQ(result.status, EditStatus::Done);
    EXPECT_EQ(samplesOf(clipboard.sound()), c.clipboard) << c.selection.start;
    EXPECT_EQ(clipboard.sound().sampleRate(), kRate);
    EXPECT_EQ(samplesOf(sound), c.left) << c.selection.start;
    EXPECT_EQ(result.selection, (Selection{c.cursor, c.cursor, c.cursor}));
    EXPECT_EQ(result.leadInFrames, kRate);
  }
}

TEST(EditOperations, PasteReplacesTheSelectionOrInsertsAtItsStart) {
  SoundBuffer clip = soundFrom({-1, -2, -3}, 1, kRate);
  ScriptedConverter unused(JobResult::Failed);
  struct Case {
    Selection selection;
    std::vector<Sample> expected;
    Selection after;
  } cases[] = {
      {{10, 20, 0}, join({frames(0, 10), {-1, -2, -3}, frames(20, 100)}), {10, 13, 10}},
      {{150, 150, 0}, join({frames(0, 100), {-1, -2, -3}}), {100, 103, 100}},  // empty, past the end
  };
  for (const auto& c : cases) {
    SoundBuffer sound = testSound();
    EditResult result = paste(sound, c.selection, clip, unused);
    EXPECT_EQ(result.status, EditStatus::Done);
    EXPECT_EQ(samplesOf(sound), c.expected);
    EXPECT_EQ(result.selection, c.after);
    EXPECT_EQ(result.leadInFrames, kRate / 2);
  }
  EXPECT_EQ(unused.calls, 0);
}

TEST(EditOperations, PasteOfMono22050IntoStereo44100ConvertsAndKeepsTheDocumentFormat) {
  SoundBuffer document = soundFrom({1, 2, 3, 4}, 2, 44100);  // two stereo frames
  SoundBuffer clip = soundFrom({0, 100, 200, 300}, 1, 22050);
  LinearFallbackConverter converter;
  EditResult result = paste(document, {1, 1, 1}, clip, converter);
  ASSERT_EQ(result.status, EditStatus::Done);
  EXPECT_EQ(document.sampleRate(), 44100);
  EXPECT_EQ(document.channels(), 2);
  // Twice the frames, halfway values between, the last held, on both sides.
  EXPECT_EQ(samplesOf(document), (std::vector<Sample>{1, 2, 0, 0, 50, 50, 100, 100, 150, 150, 200, 200, 250, 250,
                                                      300, 300, 300, 300, 3, 4}));
  EXPECT_EQ(result.selection, (Selection{1, 9, 1}));
}

TEST(EditOperations, AFailedOrCancelledConversionLeavesTheDocumentAlone) {
  SoundBuffer clip = constantSound(10, 7, 2, kRate);
  for (JobResult answer : {JobResult::Failed, JobResult::Cancelled}) {
    ScriptedConverter converter(answer);
    SoundBuffer sound = testSound();
    EditStatus expected = answer == JobResult::Failed ? EditStatus::Failed : EditStatus::Cancelled;
    EXPECT_EQ(paste(sound, {5, 6, 5}, clip, converter).status, expected);
    EXPECT_EQ(insertFile(sound, {}, InsertPlace::End, clip, converter).status, expected);
    EXPECT_EQ(samplesOf(sound), frames(0, 100));
    EXPECT_EQ(converter.calls, 2);
  }
}

TEST(EditOperations, DeleteAndTrimsKeepTheRightFrames) {
  struct Case {
    const char* name;
    EditResult (*operation)(SoundBuffer&, const Selection&);
    Selection selection;
    EditStatus status;
    std::vector<Sample> expected;
    Selection after;
  } cases[] = {
      {"delete", deleteSelection, {10, 20, 3}, EditStatus::Done, join({frames(0, 10), frames(20, 100)}), {10, 10, 10}},
      {"delete nothing", deleteSelection, {10, 10, 10}, EditStatus::NothingToDo, frames(0, 100), {10, 10, 10}},
      {"trim", trim, {10, 20, 3}, EditStatus::Done, frames(10, 20), {0, 0, 0}},
      {"trim start", trimStart, {10, 20, 3}, EditStatus::Done, frames(10, 100), {0, 10, 0}},
      {"trim start at 0", trimStart, {0, 20, 3}, EditStatus::Done, frames(0, 100), {0, 20, 0}},
      {"trim end", trimEnd, {10, 20, 3}, EditStatus::Done, frames(0, 20), {10, 20, 0}},
      {"silence", silenceSelection, {10, 20, 3}, EditStatus::Done, join({frames(0, 10), zeros(10), frames(20, 100)}),
       {10, 20, 3}},
      // A selection running past the end is silenced only up to the end.
      {"silence past end", silenceSelection, {95, 300, 0}, EditStatus::Done, join({frames(0, 95), zeros(5)}),
       {95, 100, 0}},
  };
  for (const auto& c : cases) {
    SoundBuffer sound = testSound();
    EditResult result = c.operation(sound, c.selection);
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(samplesOf(sound), c.expected) << c.name;
    EXPECT_EQ(result.selection, c.after) << c.name;
  }
}

TEST(EditOperations, SplitKeepsTheHeadAndHandsOverTheRest) {
  for (int32_t cursor : {0, 40, 250}) {
    SoundBuffer sound = testSound();
    SoundBuffer second;
    EXPECT_EQ(splitAtCursor(sound, {0, 0, cursor}, second).status, EditStatus::Done);
    const int32_t at = std::min(cursor, 100);
    EXPECT_EQ(samplesOf(sound), frames(0, at)) << cursor;
    EXPECT_EQ(samplesOf(second), frames(at, 100)) << cursor;
    EXPECT_EQ(second.sampleRate(), kRate);
  }
}

TEST(EditOperations, InsertSilenceConvertsMillisecondsAtTheDocumentRate) {
  SoundBuffer sound = testSound();
  EditResult result = insertSilence(sound, {10, 20, 40}, InsertPlace::Current, 3);
  EXPECT_EQ(samplesOf(sound), join({frames(0, 40), zeros(3), frames(40, 100)}));
  EXPECT_EQ(result.selection, (Selection{40, 43, 40}));

  SoundBuffer empty(44100, 2);  // an empty document becomes only silence
  EXPECT_EQ(insertSilence(empty, {}, InsertPlace::End, 1500).status, EditStatus::Done);
  EXPECT_EQ(samplesOf(empty), zeros(2 * 66150));
  EXPECT_EQ(insertSilence(empty, {}, InsertPlace::Begin, -50).status, EditStatus::NothingToDo);
}

TEST(EditOperations, EditsThatWouldPassTheFrameLimitAreRefusedAndChangeNothing) {
  // A sound 10 frames short of the limit: silence, so no block is written.
  SoundBuffer sound(kRate, 1);
  ASSERT_TRUE(sound.insertSilence(0, static_cast<int32_t>(kMaxFrames - 10)));
  SoundBuffer clip = constantSound(20, 5, 1, kRate);
  ScriptedConverter unused(JobResult::Failed);
  Selection selection{100, 200, 150};

  EXPECT_EQ(insertSilence(sound, selection, InsertPlace::Current, 11).status, EditStatus::TooLong);
  EXPECT_EQ(insertSilence(sound, selection, InsertPlace::Current, INT64_MAX).status, EditStatus::TooLong);
  EXPECT_EQ(insertFile(sound, selection, InsertPlace::Begin, clip, unused).status, EditStatus::TooLong);
  EXPECT_EQ(paste(sound, {5, 5, 5}, clip, unused).status, EditStatus::TooLong);
  EXPECT_EQ(repeatLoop(sound, selection, 1).status, EditStatus::TooLong);
  EXPECT_EQ(sound.totalFrames(), kMaxFrames - 10);
  EXPECT_EQ(sound.spans().size(), 1u);

  EXPECT_EQ(insertSilence(sound, selection, InsertPlace::Current, 10).status, EditStatus::Done);
  EXPECT_EQ(sound.totalFrames(), kMaxFrames);
}

TEST(EditOperations, RepeatLoopRepeatsTheSelectionAfterItself) {
  // One second repeated three times adds three seconds after the selection.
  SoundBuffer sound = soundFrom(ramp(3 * kRate, 1), 1, kRate);
  EditResult result = repeatLoop(sound, {kRate, 2 * kRate, 1500}, 3);
  ASSERT_EQ(result.status, EditStatus::Done);
  EXPECT_EQ(sound.totalFrames(), 6 * kRate);
  EXPECT_EQ(samplesOf(sound), join({frames(0, 2 * kRate), frames(kRate, 2 * kRate), frames(kRate, 2 * kRate),
                                    frames(kRate, 2 * kRate), frames(2 * kRate, 3 * kRate)}));
  EXPECT_EQ(result.selection, (Selection{kRate, kRate, kRate}));

  // One frame a hundred million times is short enough but would be a hundred
  // million spans: refused before any is made.
  SoundBuffer small = testSound();
  EXPECT_EQ(repeatLoop(small, {3, 4, 3}, 100'000'000).status, EditStatus::TooLong);
  EXPECT_EQ(small.spans().size(), 1u);
}

}  // namespace
