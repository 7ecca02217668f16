#pragma once
// A worker's way to the main thread, which its owner can close for good:
// after disable() returns no post is running or will run. The player and
// the capture engine hand one to their workers, so that a worker that
// outlives its stop never calls into an owner that has gone.

#include <functional>
#include <mutex>

class MainThreadPoster {
 public:
  explicit MainThreadPoster(std::function<void()> post) : m_post(std::move(post)) {}
  void post();
  void disable();

 private:
  std::mutex m_lock;
  std::function<void()> m_post;
  bool m_enabled = true;
};
