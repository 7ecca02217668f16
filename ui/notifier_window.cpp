#include "ui/notifier_window.h"

#include <utility>

namespace ui {

namespace {

bool registerWindowClass(WNDPROC windowProc) {
  static const bool registered = [windowProc] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = NotifierWindow::kWindowClass;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

NotifierWindow::NotifierWindow(std::function<void()> onNotify) : m_onNotify(std::move(onNotify)) {
  if (!registerWindowClass(windowProc)) return;
  // A message-only window: never shown, never enumerated, gets posted messages.
  m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), this);
}

NotifierWindow::~NotifierWindow() {
  if (m_window) {
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
  }
}

bool NotifierWindow::post() {
  if (!m_window) return false;
  if (m_pending.exchange(true)) return true;  // one is queued and will see this news
  if (PostMessageW(m_window, WM_USER, 0, 0)) return true;
  m_pending.store(false);
  return false;
}

LRESULT CALLBACK NotifierWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_USER) {
    auto* notifier = reinterpret_cast<NotifierWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (notifier) {
      // Cleared before the callback runs, so news posted during it gets a
      // message of its own; the exchange also makes what the poster wrote
      // before its post visible here.
      notifier->m_pending.exchange(false);
      if (notifier->m_onNotify) notifier->m_onNotify();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ui
