#pragma once
// The progress dialog of long operations. The work runs on the main thread
// inside run(); it polls cancelled() (or keepGoing()), which keeps the
// interface alive by draining the message queue. The owner window is
// disabled for the whole run, so the user cannot start anything else, and
// the dialog itself only appears once the work has taken kShowDelayMs, so
// that short operations do not flash a window.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/sample_source.h"
#include "core/source_status.h"
#include "ui/dialog.h"

namespace ui {

class ProgressDialog : public ProgressCallback, private Dialog {
 public:
  static constexpr int kLine1Id = 100;
  static constexpr int kLine2Id = 101;
  static constexpr int kBarId = 102;
  static constexpr int kBarRange = 1000;
  static constexpr DWORD kShowDelayMs = 300;
  // The bar moves at most this often, and the queue is drained at most every
  // kPumpIntervalMs by cancelled(), so that polling every block costs little.
  static constexpr DWORD kBarUpdateMs = 50;
  static constexpr DWORD kPumpIntervalMs = 10;
  // Window class of the dialog, so that other programs and tests can find it.
  static constexpr const wchar_t* kWindowClass = L"LProgressDialog";

  ProgressDialog();
  ~ProgressDialog() override;

  // Runs work and returns its result; Failed when there is no work or this
  // dialog is already running one. A WM_QUIT seen while the work runs
  // cancels it and is posted again after the run.
  JobResult run(HWND owner, const std::string& title, const std::string& line1,
                std::function<JobResult(ProgressDialog&)> work);

  // True once Cancel was pressed or the dialog was closed or destroyed.
  bool cancelled();
  bool keepGoing() { return !cancelled(); }
  void setProgress(int64_t done, int64_t total);
  // The caption, for work that learns what it is doing once it runs.
  void setTitle(const std::string& title);
  // line 1 is the upper text (control 100), line 2 the lower (101).
  void setLine(int line, const std::string& text);
  // Waits for event while keeping the interface alive: Done when the event
  // is signalled, Cancelled when the dialog was cancelled or closed, Failed
  // when timeoutMs (INFINITE allowed) ran out or the event cannot be waited on.
  JobResult waitFor(HANDLE event, DWORD timeoutMs);
  // A message box with the caption "Error" over the dialog (or the owner
  // while the dialog has not appeared yet).
  void showError(const std::string& text);

  // ProgressCallback: moves the bar; false once cancelled.
  bool progress(int64_t done, int64_t total) override;

  void setShowDelay(DWORD milliseconds) { m_showDelayMs = milliseconds; }
  // The dialog window; null until it appears and after it is gone.
  using Dialog::handle;
  bool running() const { return m_running; }

 private:
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool onInit() override;
  void onCommand(int id, int code) override;

  void pump();
  void showIfDue();
  void updateBar();
  int barPosition() const;
  void close();

  HWND m_owner = nullptr;
  bool m_ownerDisabledByUs = false;
  bool m_running = false;
  bool m_cancelled = false;
  bool m_closing = false;
  bool m_wasShown = false;
  bool m_quit = false;
  int m_quitCode = 0;
  DWORD m_showDelayMs = kShowDelayMs;
  ULONGLONG m_start = 0;
  ULONGLONG m_lastPump = 0;
  ULONGLONG m_lastBarUpdate = 0;
  bool m_pumpedOnce = false;
  std::string m_title;
  std::string m_lines[2];
  int64_t m_done = 0;
  int64_t m_total = 0;
  int m_barShown = -1;
};

}  // namespace ui
