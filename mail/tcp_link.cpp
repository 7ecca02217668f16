#include "mail/tcp_link.h"

#include <algorithm>

namespace mail {
namespace {

int stepUntil(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return int(std::clamp<long long>(left, 0, kCancelPollMs));
}

// Waits in steps so that a cancel is seen in time.
IoStatus waitFor(sys::TcpSocket& socket, bool writable, Clock::time_point deadline, const CancelToken& cancel) {
  for (;;) {
    if (cancel.cancelled()) return IoStatus::Cancelled;
    int step = stepUntil(deadline);
    if (step == 0) return IoStatus::TimedOut;
    sys::SocketWait wait = writable ? socket.waitWritable(step) : socket.waitReadable(step);
    if (wait == sys::SocketWait::Ready) return IoStatus::Done;
    if (wait == sys::SocketWait::Failed) return IoStatus::Failed;
  }
}

}  // namespace

IoStatus TcpLink::connect(sys::TcpSocket& socket, const std::string& host, int port, int timeoutMs,
                          const CancelToken& cancel) {
  if (port < 1 || port > 65535 || !socket.startConnect(host, uint16_t(port))) return IoStatus::Failed;
  IoStatus status = waitFor(socket, true, deadlineIn(timeoutMs), cancel);
  if (status != IoStatus::Done) return status;
  return socket.connected() ? IoStatus::Done : IoStatus::Failed;
}

IoStatus TcpLink::sendAll(const char* data, size_t bytes, Clock::time_point deadline) {
  while (bytes > 0) {
    if (m_cancel.cancelled()) return IoStatus::Cancelled;
    long sent = m_socket.send(data, std::min<size_t>(bytes, 1 << 20));
    if (sent < 0) return IoStatus::Failed;
    if (sent == 0) {
      IoStatus status = waitFor(m_socket, true, deadline, m_cancel);
      if (status != IoStatus::Done) return status;
      continue;
    }
    data += sent;
    bytes -= size_t(sent);
  }
  return IoStatus::Done;
}

IoStatus TcpLink::receiveSome(char* data, size_t capacity, size_t& received, Clock::time_point deadline) {
  received = 0;
  for (;;) {
    if (m_cancel.cancelled()) return IoStatus::Cancelled;
    long count = m_socket.receive(data, std::min<size_t>(capacity, 1 << 20));
    if (count > 0) {
      received = size_t(count);
      return IoStatus::Done;
    }
    if (count == 0) return IoStatus::Closed;
    // A reset connection has ended as much as a closed one.
    if (m_socket.failed()) return IoStatus::Closed;
    IoStatus status = waitFor(m_socket, false, deadline, m_cancel);
    if (status != IoStatus::Done) return status;
  }
}

}  // namespace mail
