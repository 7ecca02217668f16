#include "editor/analysis_window.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "editor/frame.h"
#include "ui/text.h"

namespace {

AnalysisWindow* creating = nullptr;

}  // namespace

AnalysisWindow* AnalysisWindow::find(Frame& frame, const wchar_t* className) {
  HWND window = FindWindowExW(frame.mdiClient(), nullptr, className, nullptr);
  return window ? reinterpret_cast<AnalysisWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

bool AnalysisWindow::open(std::unique_ptr<AnalysisWindow> window, const wchar_t* className, const wchar_t* title) {
  Frame& frame = window->m_frame;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(frame.instance(), className, &windowClass)) {
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = frame.instance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
  }
  creating = window.get();
  MDICREATESTRUCTW create{};
  create.szClass = className;
  create.szTitle = title;
  create.hOwner = frame.instance();
  create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
  create.style = WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME | WS_SYSMENU | WS_CAPTION;
  HWND handle = reinterpret_cast<HWND>(
      SendMessageW(frame.mdiClient(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  creating = nullptr;
  if (!handle) return false;
  window.release();  // the window's now: deleted on WM_NCDESTROY
  if (frame.settings().autoArrangeWindows()) SendMessageW(frame.mdiClient(), WM_MDITILE, MDITILE_HORIZONTAL, 0);
  return true;
}

void AnalysisWindow::bringToFront() {
  SendMessageW(m_frame.mdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_window), 0);
  InvalidateRect(m_window, nullptr, FALSE);
}

LRESULT CALLBACK AnalysisWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<AnalysisWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self && creating && message == WM_NCCREATE) {
    self = creating;
    self->m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefMDIChildProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = DefMDIChildProcW(window, message, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    // A window that fails while being created leaves its object to open().
    if (self != creating) delete self;
    return result;
  }
  return self->handleMessage(message, wParam, lParam);
}

LRESULT AnalysisWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, 0, 0, 0, 0, m_window, nullptr,
                                  m_frame.instance(), nullptr);
      m_readout = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10,
                                  m_window, nullptr, m_frame.instance(), nullptr);
      SendMessageW(m_readout, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
      onCreate();
      break;
    case WM_SIZE: {
      RECT client{};
      GetClientRect(m_window, &client);
      MoveWindow(m_readout, 4, client.bottom - kReadoutHeight + 2, std::max<int>(client.right - 8, 0),
                 kReadoutHeight - 4, TRUE);
      layout();
      InvalidateRect(m_window, nullptr, FALSE);
      break;
    }
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 1;  // the graph covers its area; paint() fills the rest
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lParam) == m_window) m_frame.updateCommands();
      break;
  }
  return DefMDIChildProcW(m_window, message, wParam, lParam);
}

void AnalysisWindow::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_window, &ps);
  RECT client{};
  GetClientRect(m_window, &client);
  if (client.right > 0 && client.bottom > 0) {
    // Drawn off screen first, so that moving the mouse over the graph does
    // not flicker it.
    ui::MemoryDc memory;
    memory.reset(CreateCompatibleDC(dc));
    ui::Bitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    {
      ui::SelectedObject selected(memory.get(), bitmap.get());
      FillRect(memory.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
      paintGraph(memory.get(), client);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(m_window, &ps);
}

HFONT AnalysisWindow::font() const { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HWND AnalysisWindow::addButton(int id, const wchar_t* text, const wchar_t* tip, DWORD style) {
  HWND button = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_frame.instance(), nullptr);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
  if (tip) addTip(button, tip);
  return button;
}

HWND AnalysisWindow::addScrollBar(int id, bool vertical, const wchar_t* tip) {
  HWND bar = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | (vertical ? SBS_VERT : SBS_HORZ), 0, 0,
                             10, 10, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             m_frame.instance(), nullptr);
  if (tip) addTip(bar, tip);
  return bar;
}

void AnalysisWindow::addTip(HWND control, const wchar_t* tip) {
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = m_window;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(tip);
  SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void AnalysisWindow::setReadout(const std::string& text) { SetWindowTextW(m_readout, ui::widen(text).c_str()); }

RECT AnalysisWindow::bodyArea() const {
  RECT client{};
  GetClientRect(m_window, &client);
  client.top = kButtonRowHeight;
  client.bottom = std::max(client.top, client.bottom - kReadoutHeight);
  return client;
}

void AnalysisWindow::setScroll(HWND bar, int maximum, int page, int position) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = static_cast<UINT>(std::max(page, 1));
  info.nPos = position;
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

int AnalysisWindow::scrollRequest(HWND bar, int request, int position, int line, int page) {
  switch (request) {
    case SB_LINEUP: return position - line;
    case SB_LINEDOWN: return position + line;
    case SB_PAGEUP: return position - page;
    case SB_PAGEDOWN: return position + page;
    case SB_TOP: return 0;
    case SB_BOTTOM: return INT32_MAX / 2;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(bar, SB_CTL, &info);
      return info.nTrackPos;
    }
  }
  return position;
}
