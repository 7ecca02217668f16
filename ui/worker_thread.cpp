#include "ui/worker_thread.h"

#include <process.h>

#include <utility>

namespace ui {

// What the thread uses, owned jointly by the thread and the WorkerThread.
struct WorkerThread::Shared {
  std::shared_ptr<WorkerTask> task;
  sys::win32::OwnedHandle stopEvent;
};

WorkerTask::~WorkerTask() = default;

unsigned __stdcall WorkerThread::threadMain(void* parameter) {
  std::unique_ptr<std::shared_ptr<Shared>> shared(static_cast<std::shared_ptr<Shared>*>(parameter));
  (*shared)->task->run((*shared)->stopEvent.get());
  return 0;
}

WorkerThread::~WorkerThread() {
  // A thread that outlasts the wait keeps its own reference to the task.
  stop(kDestroyWaitMs);
}

bool WorkerThread::start(std::shared_ptr<WorkerTask> task, int priority) {
  if (!task || running()) return false;
  m_thread.reset();  // a thread that ended by itself since the last look
  m_shared.reset();
  auto shared = std::make_shared<Shared>();
  shared->task = std::move(task);
  shared->stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!shared->stopEvent) return false;
  auto handedOver = std::make_unique<std::shared_ptr<Shared>>(shared);
  // Suspended first so that the task never runs at the wrong priority.
  uintptr_t created =
      _beginthreadex(nullptr, 0, threadMain, handedOver.get(), CREATE_SUSPENDED, nullptr);
  if (created == 0) return false;
  handedOver.release();  // the thread owns its reference now
  m_thread.reset(reinterpret_cast<HANDLE>(created));
  m_shared = std::move(shared);
  SetThreadPriority(m_thread.get(), priority);
  ResumeThread(m_thread.get());
  return true;
}

bool WorkerThread::stop(DWORD waitMs) {
  if (!m_thread) return true;
  // Raised before the signal, so the task winds down at the new priority.
  int callerPriority = GetThreadPriority(GetCurrentThread());
  int threadPriority = GetThreadPriority(m_thread.get());
  if (callerPriority != THREAD_PRIORITY_ERROR_RETURN &&
      threadPriority != THREAD_PRIORITY_ERROR_RETURN && callerPriority > threadPriority) {
    SetThreadPriority(m_thread.get(), callerPriority);
  }
  SetEvent(m_shared->stopEvent.get());
  if (WaitForSingleObject(m_thread.get(), waitMs) != WAIT_OBJECT_0) return false;
  m_thread.reset();
  m_shared.reset();
  return true;
}

bool WorkerThread::running() const {
  return m_thread && WaitForSingleObject(m_thread.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace ui
