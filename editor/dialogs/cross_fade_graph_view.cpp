#include "editor/dialogs/cross_fade_graph_view.h"

#include <vector>

#include "effects/cross_fade_graph.h"
#include "ui/gdi_objects.h"

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kLeadShade = RGB(222, 232, 246);
constexpr COLORREF kGapShade = RGB(228, 228, 228);
constexpr COLORREF kMarks = RGB(128, 128, 128);
constexpr COLORREF kFadingOut = RGB(0, 70, 200);
constexpr COLORREF kFadingIn = RGB(200, 30, 30);
// Room around the lines, in pixels, so that lines at full gain and at
// silence are not hidden by the border, and for the labels underneath.
constexpr int kInset = 4;
constexpr int kLabelHeight = 14;

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  if (right <= left) return;
  ui::Brush brush(CreateSolidBrush(colour));
  RECT band{left, top, right, bottom};
  FillRect(dc, &band, brush.get());
}

void polyline(HDC dc, const std::vector<GraphPoint>& line, int left, int top, COLORREF colour) {
  ui::Pen pen(CreatePen(PS_SOLID, 2, colour));
  ui::SelectedObject selected(dc, pen.get());
  std::vector<POINT> points;
  for (const GraphPoint& point : line) points.push_back({left + point.x, top + point.y});
  Polyline(dc, points.data(), static_cast<int>(points.size()));
}

void label(HDC dc, int x, int top, const wchar_t* text, UINT align) {
  RECT box{x - 60, top, x + 60, top + kLabelHeight};
  if (align == DT_LEFT) box = {x + 2, top, x + 122, top + kLabelHeight};
  if (align == DT_RIGHT) box = {x - 122, top, x - 2, top + kLabelHeight};
  DrawTextW(dc, text, -1, &box, align | DT_SINGLELINE | DT_TOP | DT_NOPREFIX);
}

}  // namespace

void drawCrossFadeGraph(HDC dc, const RECT& area, const CrossFadeLayout& layout, HFONT font) {
  fill(dc, area.left, area.top, area.right, area.bottom, kBackground);
  const int left = area.left + kInset, top = area.top + kInset;
  const int width = area.right - area.left - 2 * kInset;
  const int height = area.bottom - area.top - 2 * kInset - kLabelHeight;
  if (width < 2 || height < 2) return;
  const CrossFadeGraph graph = crossFadeGraph(layout, width, height);

  // The lead (from the join's start to where the selection start lands) and
  // the gap (from there to where the selection end lands).
  fill(dc, left + graph.joinStartX, top, left + graph.selectionStartX, top + height, kLeadShade);
  fill(dc, left + graph.selectionStartX, top, left + graph.selectionEndX, top + height, kGapShade);
  {
    ui::Pen pen(CreatePen(PS_DOT, 1, kMarks));
    ui::SelectedObject selected(dc, pen.get());
    for (int x : {graph.joinStartX, graph.joinEndX}) {
      MoveToEx(dc, left + x, top, nullptr);
      LineTo(dc, left + x, top + height);
    }
  }
  polyline(dc, graph.fadingOut, left, top, kFadingOut);
  polyline(dc, graph.fadingIn, left, top, kFadingIn);

  ui::SelectedObject selectedFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kMarks);
  const int labels = top + height + 1;
  // Where the selection's ends land; side by side when there is no gap.
  if (graph.selectionEndX - graph.selectionStartX < 40) {
    label(dc, left + graph.selectionStartX, labels, L"start", DT_RIGHT);
    label(dc, left + graph.selectionEndX, labels, L"end", DT_LEFT);
  } else {
    label(dc, left + graph.selectionStartX, labels, L"start", DT_CENTER);
    label(dc, left + graph.selectionEndX, labels, L"end", DT_CENTER);
  }
  SetTextColor(dc, RGB(0, 0, 0));
  RECT frame = area;
  ui::Brush border(CreateSolidBrush(kMarks));
  FrameRect(dc, &frame, border.get());
}
