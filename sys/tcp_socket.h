#pragma once
// A non-blocking TCP stream socket: the platform's sockets behind the waits
// and transfers that line protocols are built from.

#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

enum class SocketWait { Ready, TimedOut, Failed };

class TcpSocket {
 public:
  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Resolves host (a dotted address first, then a name) and starts a
  // non-blocking connect; false when the host is unknown or no socket can
  // be made. The connect has finished once waitWritable says Ready and
  // connected() is true.
  bool startConnect(const std::string& host, uint16_t port);
  bool connected() const;  // no error pending on the socket
  SocketWait waitWritable(int milliseconds);
  SocketWait waitReadable(int milliseconds);
  // The bytes sent, 0 when the socket would block, -1 on failure.
  long send(const void* data, size_t bytes);
  // The bytes received, 0 when the peer closed, -1 when nothing is there
  // (would block) or on failure; failed() tells the two apart.
  long receive(void* data, size_t bytes);
  bool failed() const { return m_failed; }
  bool isOpen() const { return m_socket != kNoSocket; }
  void close();

 private:
  static constexpr intptr_t kNoSocket = -1;
  intptr_t m_socket = kNoSocket;
  bool m_failed = false;
};

}  // namespace sys
