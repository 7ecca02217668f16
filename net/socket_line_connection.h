#pragma once
// A LineConnection over a TCP socket, with the limits of a conversation
// with an internet server: 10 s for the connect, each send and each line,
// waits in short steps so that the user can cancel in between.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/line_connection.h"
#include "sys/tcp_socket.h"

namespace net {

class SocketLineConnection : public LineConnection {
 public:
  using CancelCheck = std::function<bool()>;  // true once the user cancelled

  static constexpr int kLimitMs = 10000;
  static constexpr int kConnectStepMs = 200;
  static constexpr int kSendStepMs = 200;
  static constexpr int kReadStepMs = 300;
  static constexpr size_t kSendPieceBytes = 1024;

  // Null when the host is unknown, refuses, or does not answer in time, or
  // when the user cancelled the wait.
  static std::unique_ptr<SocketLineConnection> connect(const std::string& host, uint16_t port,
                                                       CancelCheck cancelled);

  bool sendText(const std::string& text) override;
  bool readLine(std::string& line) override;

 private:
  SocketLineConnection(sys::TcpSocket socket, CancelCheck cancelled)
      : m_socket(std::move(socket)), m_cancelled(std::move(cancelled)) {}
  bool isCancelled() const { return m_cancelled && m_cancelled(); }
  using Clock = std::chrono::steady_clock;
  // Waits for one byte until the line's time is up.
  bool waitForByte(Clock::time_point deadline);

  sys::TcpSocket m_socket;
  CancelCheck m_cancelled;
};

}  // namespace net
