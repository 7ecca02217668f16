// Insert Silence, Insert File and Repeat Loop: edits that lengthen the sound.
// Each refuses, leaving the sound as it was, when the result would pass the
// frame limit.

#include <algorithm>

#include "effects/edit_support.h"

using namespace editdetail;

namespace {

// A short selection repeated very many times becomes one span per copy, and
// every undo step copies them all; past this many spans (16 MB a copy) the
// edit is refused instead of exhausting memory.
constexpr int64_t kMaxSpansAfterRepeat = 1 << 20;

int32_t insertPosition(InsertPlace place, const Selection& selection, int32_t length) {
  switch (place) {
    case InsertPlace::Begin:
      return 0;
    case InsertPlace::Current:
      return clampTo(selection.cursor, 0, length);
    default:
      return length;
  }
}

}  // namespace

const char* insertSilenceLabel(InsertPlace place) {
  switch (place) {
    case InsertPlace::Begin:
      return "Insert Silence At The Start";
    case InsertPlace::Current:
      return "Insert Silence At Current Position";
    default:
      return "Insert Silence At The End";
  }
}

const char* insertFileLabel(InsertPlace place) {
  switch (place) {
    case InsertPlace::Begin:
      return "Insert File At Beginning";
    case InsertPlace::Current:
      return "Insert File At Current Position";
    default:
      return "Insert File At The End";
  }
}

EditResult insertSilence(SoundBuffer& sound, const Selection& selection, InsertPlace place, int64_t milliseconds) {
  // Any length past this is too long at every rate; capping it keeps the
  // conversion's products inside 64 bits.
  const int64_t capped = std::clamp<int64_t>(milliseconds, 0, (kMaxFrames + 1) * 1000);
  const int64_t frames = msToFrames(capped, sound.sampleRate());
  if (frames <= 0) return unchanged(EditStatus::NothingToDo, selection);
  const int32_t length = sound.totalFrames();
  if (length + frames > kMaxFrames) return unchanged(EditStatus::TooLong, selection);
  const int32_t at = insertPosition(place, selection, length);
  if (!sound.insertSilence(at, static_cast<int32_t>(frames))) return unchanged(EditStatus::TooLong, selection);
  return done(selectRange(at, at + static_cast<int32_t>(frames)), sound.sampleRate());
}

EditResult insertFile(SoundBuffer& sound, const Selection& selection, InsertPlace place, const SoundBuffer& loaded,
                      SoundConverter& converter, ProgressCallback* progress) {
  if (loaded.totalFrames() == 0) return unchanged(EditStatus::NothingToDo, selection);
  SoundBuffer matched;
  EditStatus status = matchFormat(loaded, sound, converter, progress, matched);
  if (status != EditStatus::Done) return unchanged(status, selection);
  const int32_t at = insertPosition(place, selection, sound.totalFrames());
  if (!sound.insertBuffer(at, matched)) return unchanged(EditStatus::TooLong, selection);
  return done(selectRange(at, at + matched.totalFrames()), sound.sampleRate());
}

EditResult repeatLoop(SoundBuffer& sound, const Selection& selection, int32_t times) {
  if (times < 1) return unchanged(EditStatus::NothingToDo, selection);
  const Selection range = wholeIfEmpty(selection, sound.totalFrames());
  if (range.empty()) return unchanged(EditStatus::NothingToDo, selection);
  SoundBuffer piece;
  if (!piece.extractRange(sound, range.start, range.end)) return unchanged(EditStatus::TooLong, selection);
  const int64_t addedSpans = static_cast<int64_t>(piece.spans().size()) * times;
  if (static_cast<int64_t>(sound.spans().size()) + addedSpans > kMaxSpansAfterRepeat)
    return unchanged(EditStatus::TooLong, selection);
  if (!sound.repeatRange(range.start, range.end, times)) return unchanged(EditStatus::TooLong, selection);
  return done(selectRange(range.start, range.start), sound.sampleRate());
}
