#pragma once
// Which piece of a sound an effect preview renders and plays: short enough to
// render at once, long enough to hear the effect in context. A preview works
// on a copy of that piece (extractRange shares the blocks) with the
// selection mapped into it, so the document is never touched.

#include <cstdint>

#include "effects/amplitude_effects.h"

struct PreviewRange {
  int32_t start = 0, end = 0;                    // frames of the sound that are copied
  int32_t selectionStart = 0, selectionEnd = 0;  // the selection, counted from start
  int32_t length() const { return end - start; }
};

// Longest piece a selection preview plays.
constexpr int32_t kPreviewSeconds = 10;
// Context heard before and after a cross fade's join.
constexpr int32_t kCrossFadeContextSeconds = 2;

// The first kPreviewSeconds of the selection (all of the sound when nothing
// is selected), clamped to the sound; the effect applies to all of the piece.
PreviewRange selectionPreviewRange(int32_t soundFrames, int32_t sampleRate, int32_t selectionStart,
                                   int32_t selectionEnd);

// From kCrossFadeContextSeconds before the join starts to as long after the
// second stream has stopped reading, clamped to the sound; an empty
// selection means all of the sound, as for the effect.
PreviewRange crossFadePreviewRange(int32_t soundFrames, int32_t sampleRate, int32_t selectionStart,
                                   int32_t selectionEnd, const CrossFadeParams& params);
