// Delete, Trim, Trim Start, Trim End and Silence Select Region: edits that
// remove audio or blank it.

#include "effects/edit_support.h"

using namespace editdetail;

EditResult deleteSelection(SoundBuffer& sound, const Selection& selection) {
  Selection range = clampSelection(selection, sound.totalFrames());
  if (range.empty()) return unchanged(EditStatus::NothingToDo, selection);
  sound.deleteRange(range.start, range.end);
  return done(selectRange(range.start, range.start), sound.sampleRate());
}

EditResult trim(SoundBuffer& sound, const Selection& selection) {
  Selection range = wholeIfEmpty(selection, sound.totalFrames());
  sound.cropToRange(range.start, range.end);
  return done(Selection{}, 0);
}

EditResult trimStart(SoundBuffer& sound, const Selection& selection) {
  Selection range = clampSelection(selection, sound.totalFrames());
  sound.deleteHead(range.start);
  return done(Selection{0, range.end - range.start, 0}, 0);
}

EditResult trimEnd(SoundBuffer& sound, const Selection& selection) {
  Selection range = clampSelection(selection, sound.totalFrames());
  sound.truncateAt(range.end);
  return done(Selection{range.start, range.end, 0}, 0);
}

EditResult silenceSelection(SoundBuffer& sound, const Selection& selection) {
  // Clamped, so that a selection running past the end never lengthens the sound.
  Selection range = clampSelection(selection, sound.totalFrames());
  SoundBuffer silenced = sound;
  silenced.deleteRange(range.start, range.end);
  if (!silenced.insertSilence(range.start, range.length())) return unchanged(EditStatus::TooLong, selection);
  sound = std::move(silenced);
  return done(range, sound.sampleRate());
}
