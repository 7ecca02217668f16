#include "editor/model/view_state.h"

#include <algorithm>

namespace {

int64_t visibleSpan(const ViewState& view) {
  return static_cast<int64_t>(view.visibleEnd) - view.visibleStart;
}

int64_t clampFrame(int64_t frame, int32_t length) { return std::clamp<int64_t>(frame, 0, std::max(length, 0)); }

}  // namespace

void setVisibleRange(ViewState& view, int64_t start, int64_t end, int32_t length) {
  if (length <= 0) {
    view.visibleStart = 0;
    view.visibleEnd = std::max(view.sampleRate, 1);
    return;
  }
  start = std::clamp<int64_t>(start, 0, static_cast<int64_t>(length) - 1);
  end = std::clamp<int64_t>(end, start + 1, length);
  view.visibleStart = static_cast<int32_t>(start);
  view.visibleEnd = static_cast<int32_t>(end);
}

void zoomIn(ViewState& view, int32_t length) {
  int64_t span = std::max<int64_t>(visibleSpan(view) / 2, kMinZoomFrames);
  int64_t start = std::max<int64_t>(static_cast<int64_t>(view.cursor) - span / 2, 0);
  setVisibleRange(view, start, start + span, length);
}

void zoomOut(ViewState& view, int32_t length) {
  int64_t span = std::min<int64_t>(visibleSpan(view) * 2, length);
  int64_t start = std::max<int64_t>(view.visibleStart - span / 4, 0);
  setVisibleRange(view, start, start + span, length);
}

void zoomToSelection(ViewState& view, int32_t length) {
  if (hasSelection(view)) setVisibleRange(view, view.selectionStart, view.selectionEnd, length);
}

void zoomFull(ViewState& view, int32_t length) {
  if (length > 0) setVisibleRange(view, 0, length, length);
}

bool hasSelection(const ViewState& view) { return view.selectionEnd > view.selectionStart; }

void setSelection(ViewState& view, int64_t a, int64_t b, int32_t length) {
  if (a > b) std::swap(a, b);
  view.selectionStart = static_cast<int32_t>(clampFrame(a, length));
  view.selectionEnd = static_cast<int32_t>(clampFrame(b, length));
}

void selectAll(ViewState& view, int32_t length) { setSelection(view, 0, length, length); }
void selectToStart(ViewState& view, int32_t length) { setSelection(view, view.cursor, 0, length); }
void selectToEnd(ViewState& view, int32_t length) { setSelection(view, view.cursor, length, length); }

void markFirst(ViewState& view, int32_t length) {
  view.firstMark = view.cursor;
  recallMarks(view, length);
}

void markSecond(ViewState& view, int32_t length) {
  view.secondMark = view.cursor;
  recallMarks(view, length);
}

void recallMarks(ViewState& view, int32_t length) { setSelection(view, view.firstMark, view.secondMark, length); }

void scrollToShowCursor(ViewState& view, int32_t length) {
  int64_t cursor = view.cursor;
  if (cursor >= view.visibleStart && cursor <= view.visibleEnd) return;
  int64_t span = std::max<int64_t>(visibleSpan(view), 1);
  int64_t start = cursor < view.visibleStart ? cursor : cursor - span;
  // Keep the span whole where the sound allows it.
  start = std::clamp<int64_t>(start, 0, std::max<int64_t>(static_cast<int64_t>(length) - span, 0));
  setVisibleRange(view, start, start + span, length);
}
