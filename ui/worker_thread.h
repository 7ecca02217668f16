#pragma once
// One background task on a thread of its own, at a chosen priority. The
// thread holds the task and its stop event itself, so a stop that gives up
// waiting frees nothing the thread still uses: the task lives until its run
// returns, whatever happens to the WorkerThread.

#include <windows.h>

#include <memory>

#include "sys/win32/owned_handle.h"

namespace ui {

struct WorkerTask {
  virtual ~WorkerTask();
  // Returns soon after stopEvent (manual reset) is signalled.
  virtual void run(HANDLE stopEvent) = 0;
};

class WorkerThread {
 public:
  // How long destruction waits for a thread nobody stopped.
  static constexpr DWORD kDestroyWaitMs = 500;

  WorkerThread() = default;
  // Stops the thread, waiting up to kDestroyWaitMs; a thread that does not
  // end by then keeps running on its own task until the task returns.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // priority is a THREAD_PRIORITY_ value. False when a thread is still
  // running (also one whose stop timed out) or it cannot be started.
  bool start(std::shared_ptr<WorkerTask> task, int priority);
  // Signals the stop event, raises the thread to the caller's priority when
  // that is higher (so a low-priority task cannot be starved while we wait)
  // and waits up to waitMs. True when the thread has ended.
  bool stop(DWORD waitMs);
  bool running() const;

 private:
  struct Shared;
  static unsigned __stdcall threadMain(void* parameter);

  std::shared_ptr<Shared> m_shared;
  sys::win32::OwnedHandle m_thread;
};

}  // namespace ui
