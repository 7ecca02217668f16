// Split into two at this point.

#include "effects/edit_support.h"

using namespace editdetail;

EditResult splitAtCursor(SoundBuffer& sound, const Selection& selection, SoundBuffer& secondPart) {
  const int32_t length = sound.totalFrames();
  const int32_t at = clampTo(selection.cursor, 0, length);
  SoundBuffer rest;
  if (!rest.extractRange(sound, at, length)) return unchanged(EditStatus::TooLong, selection);
  sound.truncateAt(at);
  secondPart = std::move(rest);
  return done(selectRange(at, at), sound.sampleRate());
}
