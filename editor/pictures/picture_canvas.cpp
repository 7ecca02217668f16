#include "editor/pictures/picture_canvas.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace pictures {

namespace {

// Owns a pen or brush for the length of one shape and keeps it selected.
class SelectedTool {
 public:
  SelectedTool(HDC dc, HGDIOBJ tool) : m_dc(dc), m_tool(tool), m_previous(SelectObject(dc, tool)) {}
  ~SelectedTool() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_tool);
  }
  SelectedTool(const SelectedTool&) = delete;
  SelectedTool& operator=(const SelectedTool&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_tool;
  HGDIOBJ m_previous;
};

// Owns a solid brush for the length of one shape.
class SolidBrush {
 public:
  explicit SolidBrush(COLORREF colour) : m_brush(CreateSolidBrush(colour)) {}
  ~SolidBrush() { DeleteObject(m_brush); }
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;
  HBRUSH get() const { return m_brush; }

 private:
  HBRUSH m_brush;
};

}  // namespace

PictureCanvas::PictureCanvas(int width, int height) : m_width(width), m_height(height) {
  HDC screen = GetDC(nullptr);
  m_dc = CreateCompatibleDC(screen);
  m_bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  m_previousBitmap = SelectObject(m_dc, m_bitmap);
  RECT all{0, 0, width, height};
  FillRect(m_dc, &all, GetSysColorBrush(COLOR_BTNFACE));
}

PictureCanvas::~PictureCanvas() {
  SelectObject(m_dc, m_previousBitmap);
  if (m_bitmap) DeleteObject(m_bitmap);
  DeleteDC(m_dc);
}

HBITMAP PictureCanvas::release() {
  // A bitmap still selected into a device context cannot go into an image list.
  SelectObject(m_dc, m_previousBitmap);
  return std::exchange(m_bitmap, nullptr);
}

void PictureCanvas::fill(const RECT& area, COLORREF colour) {
  SolidBrush brush(colour);
  FillRect(m_dc, &area, brush.get());
}

void PictureCanvas::frame(const RECT& area, COLORREF colour) {
  SolidBrush brush(colour);
  FrameRect(m_dc, &area, brush.get());
}

void PictureCanvas::line(POINT from, POINT to, COLORREF colour, int penWidth) {
  polyline({from, to}, colour, penWidth);
}

void PictureCanvas::polyline(const std::vector<POINT>& points, COLORREF colour, int penWidth) {
  SelectedTool pen(m_dc, CreatePen(PS_SOLID, penWidth, colour));
  Polyline(m_dc, points.data(), static_cast<int>(points.size()));
  // Polyline leaves out the last point; a picture wants it.
  if (penWidth == 1 && !points.empty()) SetPixel(m_dc, points.back().x, points.back().y, colour);
}

void PictureCanvas::polygon(const std::vector<POINT>& points, COLORREF colour) {
  SelectedTool pen(m_dc, CreatePen(PS_SOLID, 1, colour));
  SelectedTool brush(m_dc, CreateSolidBrush(colour));
  Polygon(m_dc, points.data(), static_cast<int>(points.size()));
}

void PictureCanvas::ellipse(const RECT& box, COLORREF colour) {
  SelectedTool pen(m_dc, CreatePen(PS_SOLID, 1, colour));
  SelectedTool brush(m_dc, CreateSolidBrush(colour));
  Ellipse(m_dc, box.left, box.top, box.right, box.bottom);
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

void PictureCanvas::setPixel(int x, int y, COLORREF colour) { SetPixel(m_dc, x, y, colour); }

}  // namespace pictures
