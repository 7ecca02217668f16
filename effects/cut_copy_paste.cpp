// Cut, Copy, Copy To New, Save Select Region As and Paste.

#include "effects/edit_support.h"

using namespace editdetail;

EditResult cut(SoundBuffer& sound, const Selection& selection, Clipboard& clipboard) {
  Selection range = wholeIfEmpty(selection, sound.totalFrames());
  SoundBuffer taken;
  if (!sound.cutRange(taken, range.start, range.end)) return unchanged(EditStatus::TooLong, selection);
  clipboard.setSound(std::move(taken));
  return done(selectRange(range.start, range.start), sound.sampleRate());
}

EditResult copy(const SoundBuffer& sound, const Selection& selection, Clipboard& clipboard) {
  Selection range = wholeIfEmpty(selection, sound.totalFrames());
  SoundBuffer taken;
  if (!taken.extractRange(sound, range.start, range.end)) return unchanged(EditStatus::TooLong, selection);
  clipboard.setSound(std::move(taken));
  return done(range, sound.sampleRate());
}

EditResult copyToNew(const SoundBuffer& sound, const Selection& selection, SoundBuffer& newSound) {
  Selection range = clampSelection(selection, sound.totalFrames());
  if (range.empty()) return unchanged(EditStatus::NothingToDo, selection);
  if (!newSound.extractRange(sound, range.start, range.end)) return unchanged(EditStatus::TooLong, selection);
  return done(range, sound.sampleRate());
}

EditResult extractSelection(const SoundBuffer& sound, const Selection& selection, SoundBuffer& region) {
  Selection range = wholeIfEmpty(selection, sound.totalFrames());
  if (!region.extractRange(sound, range.start, range.end)) return unchanged(EditStatus::TooLong, selection);
  return done(range, sound.sampleRate());
}

EditResult paste(SoundBuffer& sound, const Selection& selection, const SoundBuffer& source,
                 SoundConverter& converter, ProgressCallback* progress) {
  if (source.totalFrames() == 0) return unchanged(EditStatus::NothingToDo, selection);
  Selection range = clampSelection(selection, sound.totalFrames());
  SoundBuffer matched;
  EditStatus status = matchFormat(source, sound, converter, progress, matched);
  if (status != EditStatus::Done) return unchanged(status, selection);
  if (!sound.replaceRange(range.start, range.end, matched)) return unchanged(EditStatus::TooLong, selection);
  return done(selectRange(range.start, range.start + matched.totalFrames()), sound.sampleRate() / 2);
}
