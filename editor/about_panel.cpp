#include "editor/about_panel.h"

#include "ui/gdi_objects.h"

namespace {

constexpr wchar_t kClassName[] = L"LAW";
constexpr UINT_PTR kCloseTimer = 1;
constexpr int kWidth = 380, kHeight = 170;

LRESULT CALLBACK panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      ui::Brush background(CreateSolidBrush(RGB(5, 95, 167)));
      FillRect(dc, &client, background.get());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      ui::Font title(CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Arial"));
      {
        ui::SelectedObject selectedTitle(dc, title.get());
        RECT top = client;
        top.bottom = client.bottom / 2;
        DrawTextW(dc, L"Razavo", -1, &top, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
      }
      {
        ui::SelectedObject selectedText(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT bottom = client;
        bottom.top = client.bottom / 2 + 8;
        DrawTextW(dc, L"Audio editor, version 3.05\nRecord, cut, clean up and convert sound.", -1, &bottom,
                  DT_CENTER | DT_TOP);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_TIMER:
    case WM_LBUTTONDOWN:
      DestroyWindow(window);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void showAboutPanel(HINSTANCE instance, HWND owner, UINT autoCloseMs) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = panelProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    registered = RegisterClassW(&windowClass) != 0;
  }
  int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND panel = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"About Razavo", WS_POPUP | WS_BORDER,
                               x, y, kWidth, kHeight, owner, nullptr, instance, nullptr);
  if (!panel) return;
  ShowWindow(panel, SW_SHOWNOACTIVATE);
  if (autoCloseMs > 0) SetTimer(panel, kCloseTimer, autoCloseMs, nullptr);
}
