#pragma once
// A small bitmap to draw a button picture on: starts filled with the button
// face colour (the toolbars use that colour as the mask), offers the few
// shapes the pictures are made of, and hands the finished bitmap over.

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "ui/gdi_objects.h"

namespace pictures {

class PictureCanvas {
 public:
  PictureCanvas(int width, int height);
  PictureCanvas(const PictureCanvas&) = delete;
  PictureCanvas& operator=(const PictureCanvas&) = delete;

  int width() const { return m_width; }
  int height() const { return m_height; }

  void fill(const RECT& area, COLORREF colour);
  void frame(const RECT& area, COLORREF colour);
  void line(POINT from, POINT to, COLORREF colour, int penWidth = 1);
  void polyline(const std::vector<POINT>& points, COLORREF colour, int penWidth = 1);
  void polygon(const std::vector<POINT>& points, COLORREF colour);
  void ellipse(const RECT& box, COLORREF colour);
  // A sine wave of `cycles` periods from x = left to right (exclusive)
  // around the row `middle`; amplitude(t) gives its height in pixels at
  // t = 0 (left) ... 1 (right).
  void wave(int left, int right, int middle, double cycles, const std::function<double(double)>& amplitude,
            COLORREF colour);
  void setPixel(int x, int y, COLORREF colour);

  // The finished picture. The canvas is empty afterwards.
  ui::Bitmap release();

 private:
  int m_width;
  int m_height;
  ui::MemoryDc m_dc;
  ui::Bitmap m_bitmap;
  // Keeps the bitmap selected into the device context until it is released.
  std::optional<ui::SelectedObject> m_selection;
};

}  // namespace pictures
