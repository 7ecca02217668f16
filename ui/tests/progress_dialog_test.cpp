#include "ui/progress_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "core/sample_source.h"
#include "sys/win32/owned_handle.h"

namespace {

// A plain top-level window to own the dialog.
class OwnerWindow {
 public:
  OwnerWindow()
      : m_window(CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 500, 300, nullptr, nullptr, nullptr, nullptr)) {}
  ~OwnerWindow() { DestroyWindow(m_window); }
  HWND get() const { return m_window; }

 private:
  HWND m_window;
};

std::wstring itemText(HWND dialog, int id) {
  wchar_t text[256] = {};
  GetDlgItemTextW(dialog, id, text, 256);
  return text;
}

// Polls as a work would until the dialog has appeared (false after 5 s).
bool pollUntilShown(ui::ProgressDialog& progress) {
  for (ULONGLONG giveUp = GetTickCount64() + 5000; !progress.handle(); Sleep(1)) {
    if (GetTickCount64() > giveUp) return false;
    progress.cancelled();
  }
  return true;
}

// Polls until cancelled: Cancelled, or Failed when nothing cancels within 5 s.
JobResult pollUntilCancelled(ui::ProgressDialog& progress) {
  for (ULONGLONG giveUp = GetTickCount64() + 5000; GetTickCount64() < giveUp; Sleep(1)) {
    if (progress.cancelled()) return JobResult::Cancelled;
  }
  return JobResult::Failed;
}

TEST(ProgressDialog, RunReturnsTheResultOfItsWorkAndDisablesTheOwnerMeanwhile) {
  OwnerWindow owner;
  ui::ProgressDialog progress;
  progress.setShowDelay(0);
  for (JobResult expected : {JobResult::Done, JobResult::Cancelled, JobResult::Failed}) {
    bool ownerEnabled = true;
    JobResult result = progress.run(owner.get(), "Saving", "file.wav", [&](ui::ProgressDialog& self) {
      EXPECT_TRUE(pollUntilShown(self));
      ownerEnabled = IsWindowEnabled(owner.get());
      return expected;
    });
    EXPECT_EQ(result, expected);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
  }
  EXPECT_EQ(progress.run(owner.get(), "Saving", "", nullptr), JobResult::Failed) << "no work is a failure";
  JobResult nested = JobResult::Done;
  progress.run(owner.get(), "Saving", "", [&](ui::ProgressDialog& self) {
    nested = self.run(owner.get(), "Again", "", [](ui::ProgressDialog&) { return JobResult::Done; });
    return JobResult::Done;
  });
  EXPECT_EQ(nested, JobResult::Failed) << "one run at a time";

  // A window somebody else had disabled is left as it was.
  EnableWindow(owner.get(), FALSE);
  progress.run(owner.get(), "Copying", "", [&](ui::ProgressDialog& self) { return JobResult::Done; });
  EXPECT_FALSE(IsWindowEnabled(owner.get()));
}

TEST(ProgressDialog, AppearsOnlyAfterTheDelayShowingItsLinesAndBar) {
  OwnerWindow owner;
  ui::ProgressDialog progress;
  HWND shown = nullptr;
  progress.run(owner.get(), "Opening a take", "take 1.wav", [&](ui::ProgressDialog& self) {
    ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < 150) self.cancelled();
    EXPECT_EQ(self.handle(), nullptr) << "short work shows no window";
    EXPECT_TRUE(pollUntilShown(self));
    EXPECT_GE(GetTickCount64() - start, ui::ProgressDialog::kShowDelayMs - 20);
    shown = self.handle();
    EXPECT_EQ(FindWindowW(ui::ProgressDialog::kWindowClass, L"Opening a take"), shown);
    EXPECT_EQ(GetWindow(shown, GW_OWNER), owner.get());
    EXPECT_EQ(itemText(shown, ui::ProgressDialog::kLine1Id), L"take 1.wav");
    EXPECT_EQ(itemText(shown, IDCANCEL), L"Cancel");
    self.setLine(2, "block 3 of 4");
    EXPECT_EQ(itemText(shown, ui::ProgressDialog::kLine2Id), L"block 3 of 4");

    HWND bar = GetDlgItem(shown, ui::ProgressDialog::kBarId);
    const struct {
      int64_t done, total;
      LRESULT position;
    } steps[] = {{3'000'000'000LL, 4'000'000'000LL, 750}, {5, 4, 1000}, {7, 0, 0}};
    for (const auto& step : steps) {
      self.setProgress(step.done, step.total);
      Sleep(ui::ProgressDialog::kBarUpdateMs + 10);
      self.cancelled();
      EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), step.position) << step.done;
    }
    return JobResult::Done;
  });
  EXPECT_NE(shown, nullptr);
  EXPECT_FALSE(IsWindow(shown)) << "gone when the run ends";
}

TEST(ProgressDialog, CancelCloseOrDestructionOfTheDialogCancelsTheWork) {
  enum Way { kCancelButton, kCloseBox, kDestroyed };
  for (Way way : {kCancelButton, kCloseBox, kDestroyed}) {
    OwnerWindow owner;
    ui::ProgressDialog progress;
    progress.setShowDelay(0);
    JobResult result = progress.run(owner.get(), "Pasting", "", [&](ui::ProgressDialog& self) {
      if (!pollUntilShown(self)) return JobResult::Failed;
      for (int i = 0; i < 3; ++i, Sleep(5)) EXPECT_FALSE(self.cancelled());
      HWND dialog = self.handle();
      if (way == kCancelButton) PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
      if (way == kCloseBox) PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (way == kDestroyed) DestroyWindow(dialog);
      return pollUntilCancelled(self);
    });
    EXPECT_EQ(result, JobResult::Cancelled) << way;
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
  }
}

// An endless source and a slow sink that counts, to drive a core copy.
class RampSource : public SampleSource {
 public:
  RampSource() : SampleSource(44100, 1, 1 << 19) {}
  void read(Sample* buffer, int32_t frames) override {
    for (int32_t i = 0; i < frames; ++i) buffer[i] = i;
  }
  int32_t position() const override { return 0; }
  int32_t length() const override { return INT32_MAX; }
};

class SlowSink : public SampleSink {
 public:
  SlowSink() : SampleSink(44100, 1) {}
  void write(const Sample*, int32_t frames) override {
    written += frames;
    Sleep(5);
  }
  int64_t written = 0;

 protected:
  void commit() override {}
};

TEST(ProgressDialog, CancelsACoreCopyThroughItsProgressCallback) {
  OwnerWindow owner;
  ui::ProgressDialog progress;
  progress.setShowDelay(0);
  const int64_t frames = int64_t{kProcessChunkFrames} * 40;
  RampSource source;
  SlowSink part;
  // Cancel pressed a quarter of the way through.
  struct CancelAtQuarter : ProgressCallback {
    ui::ProgressDialog* dialog = nullptr;
    bool progress(int64_t done, int64_t total) override {
      if (dialog->handle() && done >= total / 4) PostMessageW(dialog->handle(), WM_COMMAND, IDCANCEL, 0);
      return dialog->progress(done, total);
    }
  } callback;
  EXPECT_EQ(progress.run(owner.get(), "Copying", "", [&](ui::ProgressDialog& self) {
    callback.dialog = &self;
    return copySourceToSink(source, part, frames, &callback);
  }), JobResult::Cancelled);
  EXPECT_GE(part.written, frames / 4);
  EXPECT_LT(part.written, frames);
}

TEST(ProgressDialog, WaitForTellsEventFromTimeoutFromCancel) {
  OwnerWindow owner;
  ui::ProgressDialog progress;
  progress.setShowDelay(0);
  sys::win32::OwnedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  progress.run(owner.get(), "Recording", "", [&](ui::ProgressDialog& self) {
    // Messages during the wait are handled but do not end it early.
    ULONGLONG start = GetTickCount64();
    SetTimer(owner.get(), 1, 20, nullptr);
    EXPECT_EQ(self.waitFor(event.get(), 150), JobResult::Failed);
    EXPECT_GE(GetTickCount64() - start, 140u);
    KillTimer(owner.get(), 1);

    std::thread setter([&] {
      Sleep(100);
      SetEvent(event.get());
    });
    EXPECT_EQ(self.waitFor(event.get(), INFINITE), JobResult::Done);
    setter.join();
    EXPECT_EQ(self.waitFor(nullptr, 5000), JobResult::Failed) << "nothing to wait on";

    ResetEvent(event.get());
    EXPECT_TRUE(pollUntilShown(self));
    PostMessageW(self.handle(), WM_COMMAND, IDCANCEL, 0);
    start = GetTickCount64();
    EXPECT_EQ(self.waitFor(event.get(), 5000), JobResult::Cancelled);
    EXPECT_LT(GetTickCount64() - start, 1000u);
    return JobResult::Cancelled;
  });
}

TEST(ProgressDialog, AQuitMessageCancelsTheWorkAndIsPostedAgainAfterIt) {
  OwnerWindow owner;
  ui::ProgressDialog progress;
  EXPECT_EQ(progress.run(owner.get(), "Saving", "", [&](ui::ProgressDialog& self) {
    PostQuitMessage(3);
    return pollUntilCancelled(self);
  }), JobResult::Cancelled);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
