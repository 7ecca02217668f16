#include "effects/effect_preview_range.h"

#include <algorithm>

namespace {

// The selection as the effects see it: clamped to the sound, all of it when
// nothing is selected.
void effectiveSelection(int32_t soundFrames, int32_t& start, int32_t& end) {
  soundFrames = std::max(soundFrames, 0);
  if (start >= end) {
    start = 0;
    end = soundFrames;
  }
  start = std::clamp(start, 0, soundFrames);
  end = std::clamp(end, start, soundFrames);
}

}  // namespace

PreviewRange selectionPreviewRange(int32_t soundFrames, int32_t sampleRate, int32_t selectionStart,
                                   int32_t selectionEnd) {
  effectiveSelection(soundFrames, selectionStart, selectionEnd);
  const int64_t longest = static_cast<int64_t>(std::max(sampleRate, 1)) * kPreviewSeconds;
  PreviewRange range;
  range.start = selectionStart;
  range.end = static_cast<int32_t>(std::min<int64_t>(selectionEnd, selectionStart + longest));
  range.selectionStart = 0;
  range.selectionEnd = range.length();
  return range;
}

PreviewRange crossFadePreviewRange(int32_t soundFrames, int32_t sampleRate, int32_t selectionStart,
                                   int32_t selectionEnd, const CrossFadeParams& params) {
  effectiveSelection(soundFrames, selectionStart, selectionEnd);
  const CrossFadeLayout layout = crossFadeLayout(selectionStart, selectionEnd, sampleRate, params);
  const int64_t context = static_cast<int64_t>(std::max(sampleRate, 1)) * kCrossFadeContextSeconds;
  PreviewRange range;
  // The join may start before the sound and the second stream may read past
  // its end; the piece then reaches the sound's edge, where the effect on the
  // piece does exactly what it does on the sound.
  range.start = static_cast<int32_t>(std::clamp<int64_t>(layout.joinStart - context, 0, selectionStart));
  range.end = static_cast<int32_t>(std::clamp<int64_t>(layout.replacedEnd + context, selectionEnd, soundFrames));
  range.selectionStart = selectionStart - range.start;
  range.selectionEnd = selectionEnd - range.start;
  return range;
}
