#include "mail/win32/socket_io.h"

#include <algorithm>

namespace mail::win32 {

SocketIo::~SocketIo() { closesocket(m_socket); }

IoStatus SocketIo::waitFor(SOCKET socket, bool forWrite, Clock::time_point deadline, const CancelToken& cancel) {
  for (;;) {
    if (cancel.cancelled()) return IoStatus::Cancelled;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return IoStatus::TimedOut;
    long slice = long(std::min<long long>(left, kCancelPollMs));
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval timeout{slice / 1000, (slice % 1000) * 1000};
    int count = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &timeout);
    if (count == SOCKET_ERROR) return IoStatus::Failed;
    if (FD_ISSET(socket, &failed)) return IoStatus::Failed;
    if (count > 0) return IoStatus::Done;
  }
}

IoStatus SocketIo::sendAll(const char* data, size_t bytes, Clock::time_point deadline) {
  while (bytes > 0) {
    if (m_cancel.cancelled()) return IoStatus::Cancelled;
    int sent = ::send(m_socket, data, int(std::min<size_t>(bytes, 1 << 20)), 0);
    if (sent == SOCKET_ERROR) {
      if (WSAGetLastError() != WSAEWOULDBLOCK) return IoStatus::Failed;
      IoStatus status = waitFor(m_socket, true, deadline, m_cancel);
      if (status != IoStatus::Done) return status;
      continue;
    }
    data += sent;
    bytes -= size_t(sent);
  }
  return IoStatus::Done;
}

IoStatus SocketIo::receiveSome(char* data, size_t capacity, size_t& received, Clock::time_point deadline) {
  received = 0;
  for (;;) {
    if (m_cancel.cancelled()) return IoStatus::Cancelled;
    int count = ::recv(m_socket, data, int(std::min<size_t>(capacity, 1 << 20)), 0);
    if (count > 0) {
      received = size_t(count);
      return IoStatus::Done;
    }
    if (count == 0) return IoStatus::Closed;
    if (WSAGetLastError() != WSAEWOULDBLOCK) return IoStatus::Closed;
    IoStatus status = waitFor(m_socket, false, deadline, m_cancel);
    if (status != IoStatus::Done) return status;
  }
}

}  // namespace mail::win32
