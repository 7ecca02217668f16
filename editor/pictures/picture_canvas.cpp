#include "editor/pictures/picture_canvas.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace pictures {

namespace {

// A pen or brush selected into the canvas for the length of one shape.
struct ShapeTool {
  ShapeTool(HDC dc, HGDIOBJ tool) : owner(tool), selection(dc, tool) {}
  ui::GdiObject<HGDIOBJ> owner;
  ui::SelectedObject selection;  // let go of before the tool is deleted
};

}  // namespace

PictureCanvas::PictureCanvas(int width, int height) : m_width(width), m_height(height) {
  HDC screen = GetDC(nullptr);
  m_dc.reset(CreateCompatibleDC(screen));
  m_bitmap.reset(CreateCompatibleBitmap(screen, width, height));
  ReleaseDC(nullptr, screen);
  m_selection.emplace(m_dc.get(), m_bitmap.get());
  RECT all{0, 0, width, height};
  FillRect(m_dc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
}

ui::Bitmap PictureCanvas::release() {
  // A bitmap still selected into a device context cannot go into an image list.
  m_selection.reset();
  return std::move(m_bitmap);
}

void PictureCanvas::fill(const RECT& area, COLORREF colour) {
  ui::Brush brush(CreateSolidBrush(colour));
  FillRect(m_dc.get(), &area, brush.get());
}

void PictureCanvas::frame(const RECT& area, COLORREF colour) {
  ui::Brush brush(CreateSolidBrush(colour));
  FrameRect(m_dc.get(), &area, brush.get());
}

void PictureCanvas::line(POINT from, POINT to, COLORREF colour, int penWidth) {
  polyline({from, to}, colour, penWidth);
}

void PictureCanvas::polyline(const std::vector<POINT>& points, COLORREF colour, int penWidth) {
  ShapeTool pen(m_dc.get(), CreatePen(PS_SOLID, penWidth, colour));
  Polyline(m_dc.get(), points.data(), static_cast<int>(points.size()));
  // Polyline leaves out the last point; a picture wants it.
  if (penWidth == 1 && !points.empty()) SetPixel(m_dc.get(), points.back().x, points.back().y, colour);
}

void PictureCanvas::polygon(const std::vector<POINT>& points, COLORREF colour) {
  ShapeTool pen(m_dc.get(), CreatePen(PS_SOLID, 1, colour));
  ShapeTool brush(m_dc.get(), CreateSolidBrush(colour));
  Polygon(m_dc.get(), points.data(), static_cast<int>(points.size()));
}

void PictureCanvas::ellipse(const RECT& box, COLORREF colour) {
  ShapeTool pen(m_dc.get(), CreatePen(PS_SOLID, 1, colour));
  ShapeTool brush(m_dc.get(), CreateSolidBrush(colour));
  Ellipse(m_dc.get(), box.left, box.top, box.right, box.bottom);
}

void PictureCanvas::wave(int left, int right, int middle, double cycles,
                         const std::function<double(double)>& amplitude, COLORREF colour) {
  if (right - left < 2) return;
  std::vector<POINT> points;
  for (int x = left; x < right; ++x) {
    double t = static_cast<double>(x - left) / (right - left - 1);
    double y = middle - amplitude(t) * std::sin(2 * std::numbers::pi * cycles * t);
    points.push_back(POINT{x, static_cast<LONG>(std::lround(y))});
  }
  polyline(points, colour);
}

void PictureCanvas::setPixel(int x, int y, COLORREF colour) { SetPixel(m_dc.get(), x, y, colour); }

}  // namespace pictures
