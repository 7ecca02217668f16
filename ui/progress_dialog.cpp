#include "ui/progress_dialog.h"

#include <commctrl.h>

#include <utility>

#include "ui/text.h"

namespace ui {

namespace {

// A burst of posted messages, or a window that never validates its paint,
// must not keep one poll from returning to the work.
constexpr int kMaxMessagesPerPump = 200;

// The dialog's own class: the system's dialog class under our name.
bool registerWindowClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW dialogClass{};
    dialogClass.cbSize = sizeof(dialogClass);
    if (!GetClassInfoExW(nullptr, WC_DIALOG, &dialogClass)) return false;
    dialogClass.style &= ~CS_GLOBALCLASS;
    dialogClass.hInstance = GetModuleHandleW(nullptr);
    dialogClass.lpszClassName = ProgressDialog::kWindowClass;
    return RegisterClassExW(&dialogClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

DialogTemplate progressTemplate() {
  DialogTemplate layout("", 240, 78);
  if (registerWindowClass()) layout.windowClass(ProgressDialog::kWindowClass);
  layout.text(ProgressDialog::kLine1Id, "", 10, 8, 220, 9, SS_NOPREFIX | SS_ENDELLIPSIS)
      .text(ProgressDialog::kLine2Id, "", 10, 20, 220, 9, SS_NOPREFIX | SS_ENDELLIPSIS)
      .progressBar(ProgressDialog::kBarId, 10, 34, 220, 10)
      .button(IDCANCEL, "Cancel", 95, 54, 50, 14);
  return layout;
}

}  // namespace

ProgressDialog::ProgressDialog() : Dialog(progressTemplate()) {}

ProgressDialog::~ProgressDialog() = default;

JobResult ProgressDialog::run(HWND owner, const std::string& title, const std::string& line1,
                              std::function<JobResult(ProgressDialog&)> work) {
  if (m_running || !work) return JobResult::Failed;
  m_running = true;
  m_owner = owner;
  m_cancelled = false;
  m_closing = false;
  m_wasShown = false;
  m_quit = false;
  m_title = title;
  m_lines[0] = line1;
  m_lines[1].clear();
  m_done = 0;
  m_total = 0;
  m_barShown = -1;
  m_start = GetTickCount64();
  m_pumpedOnce = false;
  // EnableWindow answers whether the window was disabled before: a window
  // someone else disabled stays disabled after the run.
  m_ownerDisabledByUs = owner && IsWindow(owner) && !EnableWindow(owner, FALSE);

  JobResult result = work(*this);

  close();
  m_running = false;
  if (m_quit) PostQuitMessage(m_quitCode);
  return result;
}

void ProgressDialog::close() {
  m_closing = true;
  // The owner first, so that it becomes the active window again when the
  // dialog goes, rather than some other program's window.
  if (m_ownerDisabledByUs && IsWindow(m_owner)) EnableWindow(m_owner, TRUE);
  m_ownerDisabledByUs = false;
  if (handle()) endDialog(0);
  m_owner = nullptr;
}

bool ProgressDialog::cancelled() {
  ULONGLONG now = GetTickCount64();
  if (!m_pumpedOnce || now - m_lastPump >= kPumpIntervalMs) pump();
  return m_cancelled;
}

void ProgressDialog::pump() {
  m_pumpedOnce = true;
  m_lastPump = GetTickCount64();
  if (!m_running) return;
  showIfDue();
  MSG message;
  for (int i = 0; i < kMaxMessagesPerPump && !m_quit; ++i) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) break;
    if (message.message == WM_QUIT) {
      m_quit = true;
      m_quitCode = static_cast<int>(message.wParam);
      m_cancelled = true;
      break;
    }
    HWND dialog = handle();
    if (dialog && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (GetTickCount64() - m_lastBarUpdate >= kBarUpdateMs) updateBar();
}

void ProgressDialog::showIfDue() {
  if (m_wasShown || m_cancelled || GetTickCount64() - m_start < m_showDelayMs) return;
  m_wasShown = true;
  if (HWND dialog = createModeless(m_owner)) {
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
  }
}

bool ProgressDialog::onInit() {
  HWND dialog = handle();
  SetWindowTextW(dialog, widen(m_title).c_str());
  setText(kLine1Id, m_lines[0]);
  setText(kLine2Id, m_lines[1]);
  sendItem(kBarId, PBM_SETRANGE32, 0, kBarRange);
  m_barShown = -1;
  updateBar();
  // Over the middle of the owner, where the user was looking.
  RECT ownerArea;
  RECT area;
  if (m_owner && GetWindowRect(m_owner, &ownerArea) && GetWindowRect(dialog, &area)) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    int x = ownerArea.left + (ownerArea.right - ownerArea.left - width) / 2;
    int y = ownerArea.top + (ownerArea.bottom - ownerArea.top - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

INT_PTR ProgressDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      m_cancelled = true;
      return TRUE;
    case WM_NCDESTROY:
      // Destroyed by anyone but close(): the work has nobody to report to.
      if (!m_closing) m_cancelled = true;
      return FALSE;
    default:
      return Dialog::handleMessage(message, wParam, lParam);
  }
}

void ProgressDialog::onCommand(int id, int code) {
  if (id == IDCANCEL) m_cancelled = true;
}

int ProgressDialog::barPosition() const {
  if (m_total <= 0 || m_done <= 0) return 0;
  if (m_done >= m_total) return kBarRange;
  return static_cast<int>(static_cast<double>(m_done) / static_cast<double>(m_total) * kBarRange);
}

void ProgressDialog::updateBar() {
  m_lastBarUpdate = GetTickCount64();
  int position = barPosition();
  if (!handle() || position == m_barShown) return;
  m_barShown = position;
  sendItem(kBarId, PBM_SETPOS, static_cast<WPARAM>(position));
}

void ProgressDialog::setProgress(int64_t done, int64_t total) {
  m_done = done;
  m_total = total;
  if (GetTickCount64() - m_lastBarUpdate >= kBarUpdateMs) updateBar();
}

void ProgressDialog::setTitle(const std::string& title) {
  m_title = title;
  if (HWND dialog = handle()) SetWindowTextW(dialog, widen(title).c_str());
}

void ProgressDialog::setLine(int line, const std::string& text) {
  if (line != 1 && line != 2) return;
  m_lines[line - 1] = text;
  setText(line == 1 ? kLine1Id : kLine2Id, text);
}

JobResult ProgressDialog::waitFor(HANDLE event, DWORD timeoutMs) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    pump();
    if (m_cancelled) return JobResult::Cancelled;
    ULONGLONG now = GetTickCount64();
    DWORD wait = INFINITE;
    if (timeoutMs != INFINITE) wait = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    // Wake when the dialog is due to appear, as well.
    if (m_running && !m_wasShown) {
      ULONGLONG showAt = m_start + m_showDelayMs;
      DWORD untilShown = now >= showAt ? 0 : static_cast<DWORD>(showAt - now);
      if (untilShown < wait) wait = untilShown;
    }
    DWORD woken = MsgWaitForMultipleObjectsEx(1, &event, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) return JobResult::Done;
    if (woken == WAIT_FAILED) return JobResult::Failed;
    if (woken == WAIT_TIMEOUT && timeoutMs != INFINITE && GetTickCount64() >= deadline) {
      return JobResult::Failed;
    }
  }
}

void ProgressDialog::showError(const std::string& text) {
  HWND owner = handle() ? handle() : m_owner;
  showMessage(owner, text, "Error", MB_OK | MB_ICONERROR);
}

bool ProgressDialog::progress(int64_t done, int64_t total) {
  setProgress(done, total);
  return !cancelled();
}

}  // namespace ui
