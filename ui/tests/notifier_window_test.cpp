#include "ui/notifier_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Runs the thread's message loop until done() or limitMs have passed.
template <class Done>
void pumpUntil(Done done, DWORD limitMs = 5000) {
  for (ULONGLONG giveUp = GetTickCount64() + limitMs; !done() && GetTickCount64() < giveUp;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

TEST(NotifierWindow, PostsFromAnotherThreadRunTheCallbackOnTheCreatingThreadFolded) {
  std::atomic<DWORD> callbackThread{0};
  std::atomic<int> calls{0}, seen{0}, produced{0};
  ui::NotifierWindow notifier([&] {
    callbackThread = GetCurrentThreadId();
    ++calls;
    seen = produced.load();
  });
  wchar_t name[16] = {};
  GetClassNameW(notifier.handle(), name, 16);
  EXPECT_STREQ(name, L"LTQN");

  std::thread([&] {
    for (int i = 0; i < 1000; ++i) {
      ++produced;
      EXPECT_TRUE(notifier.post());
    }
  }).join();
  EXPECT_EQ(calls, 0) << "nothing runs before the loop does";
  pumpUntil([&] { return seen == 1000; });
  EXPECT_EQ(seen, 1000) << "the last news reached the main thread";
  EXPECT_EQ(calls, 1) << "a burst is one call";
  EXPECT_EQ(callbackThread, GetCurrentThreadId());

  // The next post after the callback gets a call of its own.
  ++produced;
  std::thread([&] { notifier.post(); }).join();
  pumpUntil([&] { return seen == 1001; });
  EXPECT_EQ(calls, 2);
}

}  // namespace
