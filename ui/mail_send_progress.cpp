#include "ui/mail_send_progress.h"

#include <memory>
#include <mutex>

#include "sys/threads.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace ui {
namespace {

// What the sending thread reports, picked up by the dialog's thread.
struct SharedProgress : mail::MailProgress {
  void setLine(const std::string& text) override {
    std::lock_guard hold(lock);
    line = text;
  }
  void setProgress(int64_t doneBytes, int64_t totalBytes) override {
    std::lock_guard hold(lock);
    done = doneBytes;
    total = totalBytes;
  }
  std::mutex lock;
  std::string line;
  int64_t done = 0;
  int64_t total = 0;
};

// Everything the thread touches, kept alive by the thread itself should it
// outlive the dialog.
struct SendState {
  SharedProgress progress;
  mail::CancelToken cancel;
  mail::SendOutcome outcome;
  sys::Event finished{true, false};
};

}  // namespace

mail::MailResult sendMailWithProgress(HWND owner, const std::string& title, MailSendWork work) {
  auto state = std::make_shared<SendState>();
  sys::Thread thread;
  if (!thread.start([state, work] {
        state->outcome = work(state->progress, state->cancel);
        state->finished.set();
      },
                    sys::ThreadPriority::Normal))
    return mail::MailResult::Failed;
  ProgressDialog dialog;
  std::string shownLine;
  JobResult result = dialog.run(owner, title, "Sending Email", [&](ProgressDialog& progress) {
    for (;;) {
      JobResult waited = progress.waitFor(static_cast<HANDLE>(state->finished.nativeHandle()), 100);
      {
        std::lock_guard hold(state->progress.lock);
        if (state->progress.line != shownLine) progress.setLine(1, shownLine = state->progress.line);
        if (state->progress.total > 0) progress.setProgress(state->progress.done, state->progress.total);
      }
      if (waited == JobResult::Done) return JobResult::Done;
      if (waited == JobResult::Cancelled) {
        state->cancel.cancel();
        // Every wait of the send looks at the token within a fraction of a second.
        state->finished.wait(-1);
        return JobResult::Cancelled;
      }
    }
  });
  thread.join(-1);
  if (result == JobResult::Cancelled || state->outcome.result == mail::MailResult::Cancelled)
    return mail::MailResult::Cancelled;
  if (state->outcome.result == mail::MailResult::Failed) {
    showMessage(owner, state->outcome.error.empty() ? "The email could not be sent." : state->outcome.error, "Error",
                MB_OK | MB_ICONERROR);
    return mail::MailResult::Failed;
  }
  return mail::MailResult::Sent;
}

}  // namespace ui
