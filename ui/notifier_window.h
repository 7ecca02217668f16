#pragma once
// Brings news from worker threads to the main thread: post() may be called
// from any thread and makes the callback run on the thread that created the
// NotifierWindow, from its message loop. Posts that arrive while one is still
// queued are folded into it, so the callback must look at everything that
// is new rather than count calls.

#include <windows.h>

#include <atomic>
#include <functional>

namespace ui {

class NotifierWindow {
 public:
  static constexpr const wchar_t* kWindowClass = L"LTQN";

  // Create on the thread whose loop should run onNotify.
  explicit NotifierWindow(std::function<void()> onNotify);
  ~NotifierWindow();
  NotifierWindow(const NotifierWindow&) = delete;
  NotifierWindow& operator=(const NotifierWindow&) = delete;

  // Thread-safe; false when the window could not be made or the post failed.
  // The threads that post must be done before the notifier is destroyed.
  bool post();
  HWND handle() const { return m_window; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::function<void()> m_onNotify;
  HWND m_window = nullptr;
  std::atomic<bool> m_pending{false};
};

}  // namespace ui
