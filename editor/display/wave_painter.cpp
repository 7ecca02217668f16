#include "editor/display/wave_painter.h"

#include <algorithm>
#include <cmath>

namespace display {

namespace {

constexpr COLORREF kWaveNormal = RGB(102, 255, 102);
constexpr COLORREF kBackgroundNormal = RGB(0, 0, 0);
constexpr COLORREF kWaveSelected = RGB(0, 128, 0);
constexpr COLORREF kBackgroundSelected = RGB(255, 255, 189);
constexpr COLORREF kWaveHighlighted = RGB(255, 255, 255);
constexpr COLORREF kBackgroundHighlighted = RGB(5, 95, 167);
constexpr COLORREF kCursor = RGB(255, 255, 17);
constexpr COLORREF kBookmark = RGB(0, 191, 255);

// The cursor line keeps clear of the display's top and bottom by this much;
// the markers reach this far to each side of their column.
constexpr int kCursorInset = 6;
constexpr int kMarkerHalfWidth = 4;

enum class ColumnKind { Outside, Normal, Selected, Highlighted, SelectedHighlighted };

// The frames a column touches: every frame whose extent [f, f + 1) meets the
// column's [first + x * scale, first + (x + 1) * scale). Zoomed in past one
// frame per pixel, that is the one frame under the column.
void columnFrames(const PeakMapping& mapping, int x, int64_t& begin, int64_t& end) {
  double left = x * mapping.framesPerPixel;
  double right = (x + 1) * mapping.framesPerPixel;
  begin = mapping.firstFrame + static_cast<int64_t>(std::floor(left));
  end = std::max(begin + 1, mapping.firstFrame + static_cast<int64_t>(std::ceil(right)));
}

bool overlaps(int64_t begin, int64_t end, int64_t rangeStart, int64_t rangeEnd) {
  return rangeStart < rangeEnd && begin < rangeEnd && end > rangeStart;
}

void fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top) return;
  RECT box{left, top, right, bottom};
  FillRect(dc, &box, brush);
}

void triangle(HDC dc, int x, int baseY, int tipY) {
  POINT points[3] = {{x - kMarkerHalfWidth, baseY}, {x + kMarkerHalfWidth, baseY}, {x, tipY}};
  Polygon(dc, points, 3);
}

}  // namespace

int64_t columnFirstFrame(int64_t firstFrame, double framesPerPixel, int x) {
  return firstFrame + static_cast<int64_t>(std::floor(x * framesPerPixel));
}

int columnOfFrame(int64_t firstFrame, double framesPerPixel, int64_t frame) {
  double column = std::floor(static_cast<double>(frame - firstFrame) / framesPerPixel);
  return static_cast<int>(std::clamp(column, -1e9, 1e9));
}

WavePainter::WavePainter() {
  m_normal = {ui::Brush(CreateSolidBrush(kWaveNormal)), ui::Brush(CreateSolidBrush(kBackgroundNormal))};
  m_selected = {ui::Brush(CreateSolidBrush(kWaveSelected)), ui::Brush(CreateSolidBrush(kBackgroundSelected))};
  m_highlighted = {ui::Brush(CreateSolidBrush(kWaveHighlighted)), ui::Brush(CreateSolidBrush(kBackgroundHighlighted))};
  // Selected and highlighted: the selected pair, swapped.
  m_selectedHighlighted = {ui::Brush(CreateSolidBrush(kBackgroundSelected)),
                           ui::Brush(CreateSolidBrush(kWaveSelected))};
  m_cursorBrush = ui::Brush(CreateSolidBrush(kCursor));
  m_bookmarkBrush = ui::Brush(CreateSolidBrush(kBookmark));
  m_cursorPen = ui::Pen(CreatePen(PS_SOLID, 1, kCursor));
  m_bookmarkPen = ui::Pen(CreatePen(PS_DOT, 1, kBookmark));
  m_bookmarkMarkerPen = ui::Pen(CreatePen(PS_SOLID, 1, kBookmark));
  m_whitePen = ui::Pen(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
  m_blackPen = ui::Pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  m_separatorPen = ui::Pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_GRAYTEXT)));
}

void WavePainter::paint(HDC dc, const RECT& client, int xFrom, int xTo, bool enabled,
                        const PeakSnapshot& peaks, const WaveMarks& marks) const {
  if (!enabled) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    return;
  }
  RECT area{client.left + kBorder, client.top + kBorder, client.right - kBorder, client.bottom - kBorder};
  if (area.right > area.left && area.bottom > area.top) {
    paintColumns(dc, area, xFrom, xTo, peaks, marks);
    const PeakMapping& mapping = peaks.mapping;
    for (int64_t frame : marks.bookmarkFrames) {
      int x = columnOfFrame(mapping.firstFrame, mapping.framesPerPixel, frame);
      if (x >= 0 && x < area.right - area.left) paintBookmark(dc, area, area.left + x);
    }
    if (marks.cursor >= 0) {
      int x = columnOfFrame(mapping.firstFrame, mapping.framesPerPixel, marks.cursor);
      if (x >= 0 && x < area.right - area.left) paintCursor(dc, area, area.left + x);
    }
  }
  paintBorder(dc, client);
}

void WavePainter::paintColumns(HDC dc, const RECT& area, int xFrom, int xTo, const PeakSnapshot& peaks,
                               const WaveMarks& marks) const {
  const PeakMapping& mapping = peaks.mapping;
  const int width = static_cast<int>(area.right - area.left);
  const int height = static_cast<int>(area.bottom - area.top);
  const int x0 = std::max(0, xFrom - static_cast<int>(area.left));
  const int x1 = std::min(width, xTo - static_cast<int>(area.left));
  const bool split = mapping.displayMode == 2 && mapping.channels == 2;
  HBRUSH faceBrush = GetSysColorBrush(COLOR_BTNFACE);
  HBRUSH grayTextBrush = GetSysColorBrush(COLOR_GRAYTEXT);

  for (int x = x0; x < x1; ++x) {
    int64_t begin, end;
    columnFrames(mapping, x, begin, end);
    ColumnKind kind = ColumnKind::Outside;
    if (begin < mapping.totalFrames && end > 0) {
      bool selected = overlaps(begin, end, marks.selectionStart, marks.selectionEnd);
      bool highlighted = overlaps(begin, end, marks.highlightStart, marks.highlightEnd);
      kind = selected && highlighted ? ColumnKind::SelectedHighlighted
             : selected              ? ColumnKind::Selected
             : highlighted           ? ColumnKind::Highlighted
                                     : ColumnKind::Normal;
    }
    const int px = static_cast<int>(area.left) + x;
    if (kind == ColumnKind::Outside) {
      fill(dc, px, area.top, px + 1, area.bottom, faceBrush);
      int centre = area.top + height / 2;
      fill(dc, px, centre, px + 1, centre + 1, grayTextBrush);
      continue;
    }
    const ColumnColours& colours = kind == ColumnKind::Selected      ? m_selected
                                   : kind == ColumnKind::Highlighted ? m_highlighted
                                   : kind == ColumnKind::Normal      ? m_normal
                                                                     : m_selectedHighlighted;
    fill(dc, px, area.top, px + 1, area.bottom, colours.background.get());
    // Columns not computed yet show their background only.
    if (x >= mapping.columns || !peaks.valid[x]) continue;
    const int upper = peaks.upper[x];
    const int lower = peaks.lower[x];
    if (split) {
      // Left channel in the upper half, right in the lower, each about its own centre.
      const int half = height / 2;
      const int top = area.top + height / 4;
      const int bottom = area.top + (3 * height) / 4;
      const int left = (upper * half) >> 9;
      const int right = (lower * half) >> 9;
      fill(dc, px, top - left, px + 1, top + left + 1, colours.wave.get());
      fill(dc, px, bottom - right, px + 1, bottom + right + 1, colours.wave.get());
    } else {
      const int centre = area.top + height / 2;
      fill(dc, px, centre - ((upper * height) >> 9), px + 1, centre + ((lower * height) >> 9) + 1,
           colours.wave.get());
    }
  }
  if (split && x1 > x0) {
    ui::SelectedObject pen(dc, m_separatorPen.get());
    const int middle = area.top + height / 2;
    MoveToEx(dc, area.left + x0, middle, nullptr);
    LineTo(dc, area.left + x1, middle);
  }
}

void WavePainter::paintCursor(HDC dc, const RECT& area, int x) const {
  ui::SelectedObject pen(dc, m_cursorPen.get());
  ui::SelectedObject brush(dc, m_cursorBrush.get());
  MoveToEx(dc, x, area.top - kBorder + kCursorInset, nullptr);
  LineTo(dc, x, area.bottom + kBorder - kCursorInset);
  triangle(dc, x, area.top, area.top + kMarkerHalfWidth);
  triangle(dc, x, area.bottom - 1, area.bottom - 1 - kMarkerHalfWidth);
}

void WavePainter::paintBookmark(HDC dc, const RECT& area, int x) const {
  {
    ui::SelectedObject pen(dc, m_bookmarkPen.get());
    int oldMode = SetBkMode(dc, TRANSPARENT);  // the gaps of the dots show the wave
    MoveToEx(dc, x, area.top, nullptr);
    LineTo(dc, x, area.bottom);
    SetBkMode(dc, oldMode);
  }
  // The markers are solid: drawn with a plain pen of the same colour.
  ui::SelectedObject pen(dc, m_bookmarkMarkerPen.get());
  ui::SelectedObject brush(dc, m_bookmarkBrush.get());
  triangle(dc, x, area.top, area.top + kMarkerHalfWidth);
  triangle(dc, x, area.bottom - 1, area.bottom - 1 - kMarkerHalfWidth);
}

void WavePainter::paintBorder(HDC dc, const RECT& client) const {
  const int right = client.right - 1;
  const int bottom = client.bottom - 1;
  {
    ui::SelectedObject pen(dc, m_blackPen.get());
    MoveToEx(dc, client.left, bottom, nullptr);
    LineTo(dc, client.left, client.top);
    LineTo(dc, right, client.top);
  }
  ui::SelectedObject pen(dc, m_whitePen.get());
  MoveToEx(dc, right, client.top, nullptr);
  LineTo(dc, right, bottom);
  LineTo(dc, client.left - 1, bottom);
}

}  // namespace display
