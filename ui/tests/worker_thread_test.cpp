#include "ui/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "sys/win32/owned_handle.h"

namespace {

sys::win32::OwnedHandle makeEvent() { return sys::win32::OwnedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

// Waits for its stop event and notes its thread's priority before and after.
struct StoppableTask : ui::WorkerTask {
  void run(HANDLE stopEvent) override {
    priorityAtStart = GetThreadPriority(GetCurrentThread());
    SetEvent(started.get());
    stopSeen = WaitForSingleObject(stopEvent, 10000) == WAIT_OBJECT_0;
    priorityAtStop = GetThreadPriority(GetCurrentThread());
  }
  sys::win32::OwnedHandle started = makeEvent();
  std::atomic<int> priorityAtStart{-99}, priorityAtStop{-99};
  std::atomic<bool> stopSeen{false};
};

TEST(WorkerThread, RunsTheTaskAtItsPriorityAndStopsItWithinTheWait) {
  ui::WorkerThread worker;
  EXPECT_TRUE(worker.stop(0)) << "nothing to stop";
  // An idle task is raised to the stopping thread's priority; a higher one is kept.
  for (int priority : {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_HIGHEST}) {
    auto task = std::make_shared<StoppableTask>();
    ASSERT_TRUE(worker.start(task, priority));
    ASSERT_EQ(WaitForSingleObject(task->started.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(task->priorityAtStart, priority);
    EXPECT_TRUE(worker.running());
    EXPECT_FALSE(worker.start(std::make_shared<StoppableTask>(), priority)) << "one at a time";
    EXPECT_TRUE(worker.stop(5000));
    EXPECT_FALSE(worker.running());
    EXPECT_TRUE(task->stopSeen);
    EXPECT_EQ(task->priorityAtStop, std::max<int>(priority, GetThreadPriority(GetCurrentThread())));
  }
  EXPECT_FALSE(worker.start(nullptr, THREAD_PRIORITY_NORMAL));

  // A task that returns by itself frees the worker for the next.
  struct QuickTask : ui::WorkerTask {
    void run(HANDLE) override {}
  };
  ASSERT_TRUE(worker.start(std::make_shared<QuickTask>(), THREAD_PRIORITY_NORMAL));
  for (int i = 0; i < 500 && worker.running(); ++i) Sleep(10);
  EXPECT_FALSE(worker.running());
  EXPECT_TRUE(worker.start(std::make_shared<QuickTask>(), THREAD_PRIORITY_NORMAL));
}

// What a stubborn task did, kept outside it for after the task is gone.
struct Journal {
  sys::win32::OwnedHandle release = makeEvent(), started = makeEvent(), destroyed = makeEvent();
  std::atomic<bool> destroyedBeforeWrite{false}, destroyedAfterWrite{false};
};

// Ignores its stop event, waits for the test's release, then writes to its
// own member: the task must still exist then.
class StubbornTask : public ui::WorkerTask {
 public:
  explicit StubbornTask(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}
  ~StubbornTask() override {
    (m_written == kMark ? m_journal->destroyedAfterWrite : m_journal->destroyedBeforeWrite) = true;
    SetEvent(m_journal->destroyed.get());
  }
  void run(HANDLE) override {
    SetEvent(m_journal->started.get());
    WaitForSingleObject(m_journal->release.get(), 20000);
    m_written = kMark;
  }

 private:
  static constexpr int kMark = 0x5EED;
  std::shared_ptr<Journal> m_journal;
  volatile int m_written = 0;
};

TEST(WorkerThread, ATaskThatIgnoresStopOutlivesTheTimedOutStopAndItsWorker) {
  auto journal = std::make_shared<Journal>();
  {
    ui::WorkerThread worker;
    ASSERT_TRUE(worker.start(std::make_shared<StubbornTask>(journal), THREAD_PRIORITY_NORMAL));
    ASSERT_EQ(WaitForSingleObject(journal->started.get(), 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(worker.stop(100));
    EXPECT_TRUE(worker.running()) << "still marked as running";
    EXPECT_FALSE(worker.start(std::make_shared<StoppableTask>(), THREAD_PRIORITY_NORMAL));
  }  // the worker goes while its thread still runs
  EXPECT_EQ(WaitForSingleObject(journal->destroyed.get(), 0), WAIT_TIMEOUT);
  SetEvent(journal->release.get());
  ASSERT_EQ(WaitForSingleObject(journal->destroyed.get(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(journal->destroyedAfterWrite);
  EXPECT_FALSE(journal->destroyedBeforeWrite);
}

}  // namespace
