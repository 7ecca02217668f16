#include "sys/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "sys/tests/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

long long millisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(Event, AutoResetLetsOneWaitThroughAndManualResetStaysSet) {
  sys::Event automatic;
  EXPECT_FALSE(automatic.wait(0));
  automatic.set();
  EXPECT_TRUE(automatic.wait(0));
  EXPECT_FALSE(automatic.wait(0)) << "the first wait takes the signal";

  sys::Event manual(true, true);
  EXPECT_TRUE(manual.wait(0));
  EXPECT_TRUE(manual.wait(0));
  manual.reset();
  EXPECT_FALSE(manual.wait(0));
  EXPECT_EQ(manual.nativeHandle() != nullptr, systest::kOnWindows);
}

TEST(Event, AWaitEndsWhenSetFromAnotherThreadOrWhenItsTimeIsUp) {
  sys::Event never;
  auto start = Clock::now();
  EXPECT_FALSE(never.wait(60));
  EXPECT_GE(millisecondsSince(start), 50);

  sys::Event go;
  sys::Event done;
  sys::Thread helper;
  ASSERT_TRUE(helper.start(
      [&] {
        if (go.wait(5000)) done.set();
      },
      sys::ThreadPriority::Normal));
  go.set();
  EXPECT_TRUE(done.wait(5000));
  EXPECT_TRUE(helper.join(5000));
}

TEST(Thread, RunsItsBodyAtTheAskedPriority) {
  std::atomic<int> seen{-1};
  sys::Thread thread;
  EXPECT_FALSE(thread.running());
  EXPECT_TRUE(thread.join(0)) << "nothing to wait for";
  ASSERT_TRUE(thread.start([&] { seen = static_cast<int>(sys::currentThreadPriority()); },
                           sys::ThreadPriority::BelowNormal));
  EXPECT_TRUE(thread.join(5000));
  EXPECT_FALSE(thread.running());
  // Linux gives no priorities to ordinary users; the native build keeps Normal.
  auto expected = systest::kOnWindows ? sys::ThreadPriority::BelowNormal : sys::ThreadPriority::Normal;
  EXPECT_EQ(seen.load(), static_cast<int>(expected));

  ASSERT_TRUE(thread.start([&] { seen = 99; }, sys::ThreadPriority::Normal)) << "a joined thread starts again";
  EXPECT_TRUE(thread.join(-1));
  EXPECT_EQ(seen.load(), 99);
}

TEST(Thread, AThreadThatOutlastsATimedJoinStaysRunningAndKeepsItsState) {
  auto release = std::make_shared<sys::Event>(true, false);
  auto counter = std::make_shared<std::atomic<int>>(0);
  sys::Thread thread;
  ASSERT_TRUE(thread.start(
      [release, counter] {
        release->wait(-1);
        // Touches what it captured after its owner's wait has given up.
        counter->fetch_add(1);
      },
      sys::ThreadPriority::Normal));
  auto start = Clock::now();
  EXPECT_FALSE(thread.join(50));
  EXPECT_GE(millisecondsSince(start), 40);
  EXPECT_TRUE(thread.running());
  EXPECT_FALSE(thread.start([] {}, sys::ThreadPriority::Normal)) << "one thread at a time";
  thread.setPriority(sys::ThreadPriority::AboveNormal);

  release->set();
  EXPECT_TRUE(thread.join(5000));
  EXPECT_FALSE(thread.running());
  EXPECT_EQ(counter->load(), 1);
}

TEST(Thread, DestroyingTheOwnerWaitsForTheBody) {
  std::atomic<bool> finished{false};
  {
    sys::Thread thread;
    ASSERT_TRUE(thread.start(
        [&] {
          sys::Event pause;
          pause.wait(100);
          finished = true;
        },
        sys::ThreadPriority::Normal));
  }
  EXPECT_TRUE(finished.load());
}

TEST(Thread, ADetachedThreadRunsOnAloneAfterItsOwnerIsGone) {
  auto release = std::make_shared<sys::Event>(true, false);
  auto ended = std::make_shared<sys::Event>(true, false);
  auto thread = std::make_unique<sys::Thread>();
  ASSERT_TRUE(thread->start(
      [release, ended] {
        release->wait(-1);
        ended->set();
      },
      sys::ThreadPriority::Normal));
  thread->detach();
  EXPECT_FALSE(thread->running());
  EXPECT_TRUE(thread->join(0)) << "nothing left to wait for";
  auto start = Clock::now();
  thread.reset();  // must not wait for the body
  EXPECT_LT(millisecondsSince(start), 1000);
  EXPECT_FALSE(ended->wait(0));
  release->set();
  EXPECT_TRUE(ended->wait(5000));
}

}  // namespace
