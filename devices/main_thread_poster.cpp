#include "devices/main_thread_poster.h"

void MainThreadPoster::post() {
  std::lock_guard hold(m_lock);
  if (m_enabled && m_post) m_post();
}

void MainThreadPoster::disable() {
  std::lock_guard hold(m_lock);
  m_enabled = false;
}
