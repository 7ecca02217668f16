#include "recorder/transmit/recording_sender.h"

#include <chrono>
#include <thread>

namespace recorder {

RecordingSender::RecordingSender(SendList& list, Transmit transmit)
    : m_list(list), m_transmit(std::move(transmit)) {}

RecordingSender::~RecordingSender() { cancel(); }

bool RecordingSender::queue(const std::string& recording) {
  if (!m_list.append(recording)) return false;
  wake();
  return true;
}

void RecordingSender::wake() {
  sys::LockGuard guard(m_lock);
  if (m_running || m_cancelled) return;
  // A worker that found the list empty has said so under this lock and is
  // ending: wait for it before starting the next.
  m_thread.join(-1);
  m_running = true;
  if (!m_thread.start([this] { run(); }, sys::ThreadPriority::BelowNormal)) m_running = false;
}

void RecordingSender::cancel() {
  {
    sys::LockGuard guard(m_lock);
    m_cancelled = true;
  }
  m_cancel.set();
  m_thread.join(-1);
}

bool RecordingSender::busy() const {
  sys::LockGuard guard(m_lock);
  return m_running;
}

bool RecordingSender::waitIdle(int timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (busy()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void RecordingSender::run() {
  while (true) {
    std::optional<std::string> recording;
    {
      sys::LockGuard guard(m_lock);
      recording = m_cancelled ? std::nullopt : m_list.first();
      if (!recording) {
        m_running = false;
        return;
      }
    }
    if (m_transmit(*recording, m_cancel) == JobResult::Cancelled || m_cancel.wait(0)) {
      sys::LockGuard guard(m_lock);
      m_running = false;
      return;
    }
    // A list that cannot be shortened would send the same recording forever.
    if (!m_list.dropFirst()) {
      sys::LockGuard guard(m_lock);
      m_running = false;
      return;
    }
  }
}

}  // namespace recorder
