#pragma once
// The one piece of state a send shares with the thread that may cancel it:
// every wait of the transport polls it and ends the send as cancelled.

#include <atomic>

namespace mail {

class CancelToken {
 public:
  void cancel() { m_cancelled.store(true); }
  bool cancelled() const { return m_cancelled.load(); }

 private:
  std::atomic<bool> m_cancelled{false};
};

// How often a waiting transport looks at the token.
constexpr int kCancelPollMs = 200;

}  // namespace mail
