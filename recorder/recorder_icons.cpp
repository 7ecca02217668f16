#include "recorder/recorder_icons.h"

#include <algorithm>

#include "ui/gdi_objects.h"

namespace recorder {
namespace {

// Scales a coordinate of the 32-pixel drawing to the icon's size.
int at(int value, int size) { return value * size / 32; }

void drawBadge(HDC dc, int size, COLORREF badge, COLORREF mark) {
  ui::Brush badgeBrush(CreateSolidBrush(badge));
  ui::Pen badgePen(CreatePen(PS_SOLID, 1, RGB(40, 40, 40)));
  {
    ui::SelectedObject brush(dc, badgeBrush.get());
    ui::SelectedObject pen(dc, badgePen.get());
    Ellipse(dc, 0, 0, size, size);
  }
  // The microphone: a rounded head, its stand and foot.
  ui::Brush markBrush(CreateSolidBrush(mark));
  ui::Pen markPen(CreatePen(PS_SOLID, std::max(1, size / 16), mark));
  ui::SelectedObject brush(dc, markBrush.get());
  ui::SelectedObject pen(dc, markPen.get());
  RoundRect(dc, at(12, size), at(5, size), at(20, size), at(19, size), at(8, size), at(8, size));
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Arc(dc, at(9, size), at(10, size), at(23, size), at(23, size), at(23, size), at(16, size), at(9, size),
      at(16, size));
  MoveToEx(dc, at(16, size), at(23, size), nullptr);
  LineTo(dc, at(16, size), at(27, size));
  MoveToEx(dc, at(12, size), at(27, size), nullptr);
  LineTo(dc, at(21, size), at(27, size));
}

}  // namespace

HICON drawRecorderIcon(bool recording, int size) {
  HDC screen = GetDC(nullptr);
  ui::Bitmap colour(CreateCompatibleBitmap(screen, size, size));
  ui::Bitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
  ui::MemoryDc colourDc, maskDc;
  colourDc.reset(CreateCompatibleDC(screen));
  maskDc.reset(CreateCompatibleDC(screen));
  ReleaseDC(nullptr, screen);
  {
    ui::SelectedObject colourSelected(colourDc.get(), colour.get());
    ui::SelectedObject maskSelected(maskDc.get(), mask.get());
    RECT box{0, 0, size, size};
    FillRect(colourDc.get(), &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // The mask: white (transparent) everywhere but the badge.
    FillRect(maskDc.get(), &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
      ui::SelectedObject brush(maskDc.get(), GetStockObject(BLACK_BRUSH));
      ui::SelectedObject pen(maskDc.get(), GetStockObject(BLACK_PEN));
      Ellipse(maskDc.get(), 0, 0, size, size);
    }
    drawBadge(colourDc.get(), size, recording ? RGB(219, 11, 0) : RGB(96, 104, 112), RGB(255, 255, 255));
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour.get();
  info.hbmMask = mask.get();
  return CreateIconIndirect(&info);
}

}  // namespace recorder
