#include "net/socket_line_connection.h"

#include <algorithm>

namespace net {

std::unique_ptr<SocketLineConnection> SocketLineConnection::connect(const std::string& host, uint16_t port,
                                                                    CancelCheck cancelled) {
  sys::TcpSocket socket;
  if (!socket.startConnect(host, port)) return nullptr;
  for (int waited = 0; waited < kLimitMs; waited += kConnectStepMs) {
    if (cancelled && cancelled()) return nullptr;
    sys::SocketWait wait = socket.waitWritable(kConnectStepMs);
    if (wait == sys::SocketWait::Failed) return nullptr;
    if (wait == sys::SocketWait::Ready) {
      if (!socket.connected()) return nullptr;
      return std::unique_ptr<SocketLineConnection>(new SocketLineConnection(std::move(socket), std::move(cancelled)));
    }
  }
  return nullptr;
}

bool SocketLineConnection::sendText(const std::string& text) {
  size_t sent = 0;
  int timeLeftMs = kLimitMs;
  while (sent < text.size()) {
    if (isCancelled()) return false;
    size_t piece = std::min(kSendPieceBytes, text.size() - sent);
    long done = m_socket.send(text.data() + sent, piece);
    if (done < 0) return false;
    if (done > 0) {
      sent += static_cast<size_t>(done);
      continue;
    }
    // Would block: wait for room, spending the time left.
    if (timeLeftMs <= 0) return false;
    if (m_socket.waitWritable(kSendStepMs) == sys::SocketWait::Failed) return false;
    timeLeftMs -= kSendStepMs;
  }
  return true;
}

bool SocketLineConnection::waitForByte(Clock::time_point deadline) {
  for (;;) {
    if (isCancelled()) return false;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    sys::SocketWait wait = m_socket.waitReadable(static_cast<int>(std::min<long long>(kReadStepMs, left)));
    if (wait == sys::SocketWait::Ready) return true;
    if (wait == sys::SocketWait::Failed) return false;
  }
}

bool SocketLineConnection::readLine(std::string& line) {
  line.clear();
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kLimitMs);
  for (;;) {
    if (!waitForByte(deadline)) return false;
    char byte = 0;
    long received = m_socket.receive(&byte, 1);
    if (received == 0) return false;  // readable with nothing: the peer closed
    if (received < 0) {
      if (m_socket.failed()) return false;
      continue;
    }
    if (byte == '\n') return true;
    if (byte == '\r') continue;
    if (line.size() < kMaxLineChars) line.push_back(byte);
  }
}

}  // namespace net
