#include "sys/threads.h"

#include <process.h>

#include "sys/win32/wide_text.h"

namespace sys {

namespace {

DWORD timeoutOf(int timeoutMs) { return timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs); }

int nativePriority(ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: return THREAD_PRIORITY_IDLE;
    case ThreadPriority::Lowest: return THREAD_PRIORITY_LOWEST;
    case ThreadPriority::BelowNormal: return THREAD_PRIORITY_BELOW_NORMAL;
    case ThreadPriority::Normal: return THREAD_PRIORITY_NORMAL;
    case ThreadPriority::AboveNormal: return THREAD_PRIORITY_ABOVE_NORMAL;
    case ThreadPriority::Highest: return THREAD_PRIORITY_HIGHEST;
    case ThreadPriority::TimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
  }
  return THREAD_PRIORITY_NORMAL;
}

// The thread owns its body: nothing it runs lives in the Thread object, so a
// thread that outlasts a timed join uses no memory its owner may free.
unsigned __stdcall runBody(void* parameter) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  (*body)();
  return 0;
}

}  // namespace

struct Event::State {
  win32::OwnedHandle handle;
};

Event::Event(bool manualReset, bool initiallySet) : m_state(std::make_unique<State>()) {
  m_state->handle.reset(CreateEventW(nullptr, manualReset, initiallySet, nullptr));
}

Event::~Event() = default;

void Event::set() {
  if (m_state->handle.valid()) SetEvent(m_state->handle.get());
}

void Event::reset() {
  if (m_state->handle.valid()) ResetEvent(m_state->handle.get());
}

bool Event::wait(int timeoutMs) {
  return m_state->handle.valid() &&
         WaitForSingleObject(m_state->handle.get(), timeoutOf(timeoutMs)) == WAIT_OBJECT_0;
}

void* Event::nativeHandle() const { return m_state->handle.get(); }

struct Thread::State {
  // Open from start until a join sees the thread end.
  win32::OwnedHandle handle;
};

Thread::Thread() : m_state(std::make_unique<State>()) {}

Thread::~Thread() {
  if (running()) join(-1);
}

bool Thread::start(std::function<void()> body, ThreadPriority priority) {
  if (running() || !body) return false;
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  // Suspended first so that the body never runs at the wrong priority.
  uintptr_t created = _beginthreadex(nullptr, 0, runBody, owned.get(), CREATE_SUSPENDED, nullptr);
  if (created == 0) return false;
  owned.release();  // the thread frees it
  m_state->handle.reset(reinterpret_cast<HANDLE>(created));
  SetThreadPriority(m_state->handle.get(), nativePriority(priority));
  ResumeThread(m_state->handle.get());
  return true;
}

void Thread::setPriority(ThreadPriority priority) {
  if (running()) SetThreadPriority(m_state->handle.get(), nativePriority(priority));
}

bool Thread::join(int timeoutMs) {
  if (!running()) return true;
  if (WaitForSingleObject(m_state->handle.get(), timeoutOf(timeoutMs)) != WAIT_OBJECT_0) return false;
  m_state->handle.reset();
  return true;
}

void Thread::detach() { m_state->handle.reset(); }

bool Thread::running() const { return m_state && m_state->handle.valid(); }

ThreadPriority currentThreadPriority() {
  int priority = GetThreadPriority(GetCurrentThread());
  if (priority <= THREAD_PRIORITY_IDLE) return ThreadPriority::Idle;
  if (priority >= THREAD_PRIORITY_TIME_CRITICAL) return ThreadPriority::TimeCritical;
  switch (priority) {
    case THREAD_PRIORITY_LOWEST: return ThreadPriority::Lowest;
    case THREAD_PRIORITY_BELOW_NORMAL: return ThreadPriority::BelowNormal;
    case THREAD_PRIORITY_ABOVE_NORMAL: return ThreadPriority::AboveNormal;
    case THREAD_PRIORITY_HIGHEST: return ThreadPriority::Highest;
    default: return ThreadPriority::Normal;
  }
}

}  // namespace sys
