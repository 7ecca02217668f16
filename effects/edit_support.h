#pragma once
// Helpers shared by the edit operations; not part of the module's interface.

#include "effects/edit_operations.h"

namespace editdetail {

// Start and end inside 0..length, end not before start; cursor inside 0..length.
Selection clampSelection(const Selection& selection, int32_t length);
// The clamped selection, or the whole sound when it is empty.
Selection wholeIfEmpty(const Selection& selection, int32_t length);

// A result that changes nothing: the status with the caller's selection.
EditResult unchanged(EditStatus status, const Selection& selection);
EditResult done(const Selection& selection, int32_t leadInFrames);
Selection selectRange(int32_t start, int32_t end);  // cursor at start

// source as it must be to join target: itself (sharing) when rate and
// channels match, else converter's output.
EditStatus matchFormat(const SoundBuffer& source, const SoundBuffer& target, SoundConverter& converter,
                       ProgressCallback* progress, SoundBuffer& matched);

}  // namespace editdetail
