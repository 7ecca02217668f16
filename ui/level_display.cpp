#include "ui/level_display.h"

#include <algorithm>
#include <array>
#include <cwchar>

#include "ui/gdi_objects.h"

namespace ui {

namespace {

constexpr int kMaxChannels = 8;
constexpr int kSilence = -127;

struct DisplayState {
  int channels = 2;
  std::array<int, kMaxChannels> levels{kSilence, kSilence, kSilence, kSilence,
                                       kSilence, kSilence, kSilence, kSilence};
  Bitmap green;
  Bitmap red;
};

// The state of a level display; null for any other window, whose extra
// bytes mean something else.
DisplayState* stateOf(HWND window) {
  wchar_t className[32] = {};
  if (!GetClassNameW(window, className, 32) || lstrcmpW(className, kLevelDisplayClass) != 0) return nullptr;
  return reinterpret_cast<DisplayState*>(GetWindowLongPtrW(window, 0));
}

// The share of the bar a level fills, 0 ... width.
int barLength(int level, int width) {
  int clamped = std::clamp(level, kLevelDisplayFloorDb, kLevelDisplayTopDb);
  return (clamped - kLevelDisplayFloorDb) * width / (kLevelDisplayTopDb - kLevelDisplayFloorDb);
}

void fillWith(HDC dc, const RECT& area, HBITMAP picture, COLORREF colour) {
  if (area.right <= area.left || area.bottom <= area.top) return;
  if (picture) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    return;
  }
  Brush brush(CreateSolidBrush(colour));
  FillRect(dc, &area, brush.get());
}

void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  DisplayState* state = stateOf(window);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (state) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    // The text column is as wide as the widest text it shows.
    SIZE widest{};
    GetTextExtentPoint32W(dc, L"-00dB", 5, &widest);
    const int textWidth = widest.cx + 6;
    const int barRight = std::max<int>(client.left, client.right - textWidth);
    const int rows = std::max(state->channels, 1);
    const int rowHeight = std::max<int>((client.bottom - client.top) / rows, 1);
    const int zeroX = barLength(0, barRight - 2) + 1;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(220, 220, 220));
    for (int c = 0; c < rows; ++c) {
      RECT row{client.left, client.top + c * rowHeight, client.right, client.top + (c + 1) * rowHeight};
      RECT bar{row.left + 1, row.top + 1, row.left + 1 + barLength(state->levels[c], barRight - 2), row.bottom - 1};
      RECT greenPart = bar;
      greenPart.right = std::min<LONG>(bar.right, zeroX);
      fillWith(dc, greenPart, state->green.get(), RGB(0, 200, 0));
      RECT redPart = bar;
      redPart.left = zeroX;
      fillWith(dc, redPart, state->red.get(), RGB(230, 0, 0));
      wchar_t text[16];
      levelText(state->levels[c], text, 16);
      RECT textArea{barRight, row.top, row.right - 2, row.bottom};
      DrawTextW(dc, text, -1, &textArea, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK displayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      auto* state = new DisplayState;
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      state->green.reset(static_cast<HBITMAP>(LoadImageW(create->hInstance, L"LDBGreen", IMAGE_BITMAP, 0, 0, 0)));
      state->red.reset(static_cast<HBITMAP>(LoadImageW(create->hInstance, L"LDBRed", IMAGE_BITMAP, 0, 0, 0)));
      SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(state));
      break;
    }
    case WM_NCDESTROY:
      delete stateOf(window);
      SetWindowLongPtrW(window, 0, 0);
      break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint(window); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool registerLevelDisplay(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = displayProc;
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kLevelDisplayClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void levelText(int level, wchar_t* text, int size) {
  if (level <= kSilence)
    std::swprintf(text, size, L"--dB");
  else
    std::swprintf(text, size, L"%ddB", level);
}

void setDisplayedLevels(HWND display, const int8_t* levels, int channels) {
  DisplayState* state = stateOf(display);
  if (!state) return;
  state->channels = std::clamp(channels, 1, kMaxChannels);
  bool changed = false;
  for (int c = 0; c < state->channels; ++c) {
    int level = c < channels ? levels[c] : kSilence;
    changed = changed || state->levels[c] != level;
    state->levels[c] = level;
  }
  if (changed) InvalidateRect(display, nullptr, FALSE);
}

void clearDisplayedLevels(HWND display) {
  std::array<int8_t, kMaxChannels> silence;
  silence.fill(static_cast<int8_t>(kSilence));
  DisplayState* state = stateOf(display);
  setDisplayedLevels(display, silence.data(), state ? state->channels : 2);
}

}  // namespace ui
