#pragma once
// What one editor window shows of its sound: the visible range, the
// selection, the cursor and the two marks, with the rules that keep them
// inside the sound. length is always the buffer's totalFrames(); every
// computation is done in 64 bits so that sounds of INT32_MAX frames are safe.

#include <cstdint>
#include <string>

struct ViewState {
  int32_t sampleRate = 44100;
  uint8_t channels = 1;
  bool modified = false;
  int32_t selectionStart = 0, selectionEnd = 0;  // frames, start <= end
  int32_t cursor = 0;
  int32_t visibleStart = 0, visibleEnd = 0;      // frames shown, end exclusive
  std::string fileName;
  bool hasName = false;
  int32_t firstMark = 0, secondMark = 0;
  bool verticalZoom = false;
  int displayMode = 0;  // 0 +/-, 1 L/R, 2 dual
};

// The narrowest view: zooming in stops at this many frames.
constexpr int32_t kMinZoomFrames = 100;

// Half the span (at least kMinZoomFrames) around the cursor.
void zoomIn(ViewState& view, int32_t length);
// Twice the span (at most the sound), moved back by a quarter of the new span.
void zoomOut(ViewState& view, int32_t length);
// The selection becomes the visible range; nothing happens without one.
void zoomToSelection(ViewState& view, int32_t length);
// The whole sound; nothing happens when it is empty.
void zoomFull(ViewState& view, int32_t length);
// start not below 0, end not past the sound, at least one frame; an empty
// sound shows its first second.
void setVisibleRange(ViewState& view, int64_t start, int64_t end, int32_t length);

bool hasSelection(const ViewState& view);
void selectAll(ViewState& view, int32_t length);
void selectToStart(ViewState& view, int32_t length);  // cursor..0
void selectToEnd(ViewState& view, int32_t length);    // cursor..end
// Orders a and b and keeps both inside 0..length.
void setSelection(ViewState& view, int64_t a, int64_t b, int32_t length);

// Each remembers the cursor as its mark and selects between the marks.
void markFirst(ViewState& view, int32_t length);
void markSecond(ViewState& view, int32_t length);
// Selects between the marks again.
void recallMarks(ViewState& view, int32_t length);

// Moves the visible range, keeping its span, when the cursor is outside it.
void scrollToShowCursor(ViewState& view, int32_t length);
