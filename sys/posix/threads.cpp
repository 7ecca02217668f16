#include "sys/threads.h"

#include <chrono>
#include <condition_variable>
#include <thread>

namespace sys {

struct Event::State {
  std::mutex lock;
  std::condition_variable changed;
  bool manualReset = false;
  bool set = false;
};

Event::Event(bool manualReset, bool initiallySet) : m_state(std::make_unique<State>()) {
  m_state->manualReset = manualReset;
  m_state->set = initiallySet;
}
Event::~Event() = default;

void Event::set() {
  {
    std::lock_guard hold(m_state->lock);
    m_state->set = true;
  }
  m_state->changed.notify_all();
}

void Event::reset() {
  std::lock_guard hold(m_state->lock);
  m_state->set = false;
}

bool Event::wait(int timeoutMs) {
  std::unique_lock hold(m_state->lock);
  auto isSet = [this] { return m_state->set; };
  if (timeoutMs < 0)
    m_state->changed.wait(hold, isSet);
  else if (!m_state->changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), isSet))
    return false;
  if (!m_state->manualReset) m_state->set = false;
  return true;
}

void* Event::nativeHandle() const { return nullptr; }

// The state is shared with the running thread, so a thread that outlives a
// timed join keeps what it uses alive.
struct Thread::State {
  std::thread thread;
  std::shared_ptr<Event> ended = std::make_shared<Event>(true, false);
};

Thread::Thread() = default;

Thread::~Thread() {
  if (m_state && m_state->thread.joinable()) {
    if (join(-1)) return;
  }
}

bool Thread::start(std::function<void()> body, ThreadPriority) {
  if (running() || !body) return false;
  m_state = std::make_unique<State>();
  auto ended = m_state->ended;
  m_state->thread = std::thread([body = std::move(body), ended] {
    body();
    ended->set();
  });
  return true;
}

// Priorities need privileges on Linux; native runs keep the default.
void Thread::setPriority(ThreadPriority) {}

bool Thread::join(int timeoutMs) {
  if (!m_state || !m_state->thread.joinable()) return true;
  if (!m_state->ended->wait(timeoutMs)) return false;
  m_state->thread.join();
  return true;
}

void Thread::detach() {
  if (m_state && m_state->thread.joinable()) m_state->thread.detach();
}

bool Thread::running() const { return m_state && m_state->thread.joinable(); }

ThreadPriority currentThreadPriority() { return ThreadPriority::Normal; }

}  // namespace sys
