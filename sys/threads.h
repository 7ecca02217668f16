#pragma once
// Threads with priorities, events and locks.

#include <functional>
#include <memory>
#include <mutex>

namespace sys {

using Lock = std::mutex;
using LockGuard = std::lock_guard<std::mutex>;

enum class ThreadPriority { Idle, Lowest, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };

class Event {
 public:
  explicit Event(bool manualReset = false, bool initiallySet = false);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  void set();
  void reset();
  // True when signalled within timeoutMs (negative waits forever).
  bool wait(int timeoutMs);
  void* nativeHandle() const;  // the Win32 HANDLE on Windows, null elsewhere

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

class Thread {
 public:
  Thread();
  ~Thread();  // waits for the thread when it is still running
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  bool start(std::function<void()> body, ThreadPriority priority);
  void setPriority(ThreadPriority priority);
  // Waits up to timeoutMs (negative: forever); true when the thread has ended.
  bool join(int timeoutMs);
  // Lets a running thread go on alone: this object no longer refers to it,
  // can be destroyed at once, and running() is false. The body keeps
  // whatever it owns until it returns.
  void detach();
  bool running() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

ThreadPriority currentThreadPriority();

}  // namespace sys
