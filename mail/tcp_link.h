#pragma once
// A connected TCP socket whose every wait ends on its deadline or, within
// kCancelPollMs, on the send's cancel token.

#include <chrono>
#include <cstddef>
#include <string>

#include "mail/mail_stream.h"
#include "sys/tcp_socket.h"

namespace mail {

using Clock = std::chrono::steady_clock;

inline Clock::time_point deadlineIn(int milliseconds) {
  return Clock::now() + std::chrono::milliseconds(milliseconds);
}

class TcpLink {
 public:
  TcpLink(sys::TcpSocket socket, const CancelToken& cancel) : m_socket(std::move(socket)), m_cancel(cancel) {}

  // Connects socket to host within timeoutMs.
  static IoStatus connect(sys::TcpSocket& socket, const std::string& host, int port, int timeoutMs,
                          const CancelToken& cancel);

  IoStatus sendAll(const char* data, size_t bytes, Clock::time_point deadline);
  // Between 1 and capacity bytes; Closed when the peer ended the connection.
  IoStatus receiveSome(char* data, size_t capacity, size_t& received, Clock::time_point deadline);

 private:
  sys::TcpSocket m_socket;
  const CancelToken& m_cancel;
};

// The TLS layer of a link, one per platform (SChannel, OpenSSL).
class TlsSession {
 public:
  virtual ~TlsSession() = default;
  virtual IoStatus send(const char* data, size_t bytes, Clock::time_point deadline) = 0;
  virtual IoStatus receive(char* data, size_t capacity, size_t& received, Clock::time_point deadline) = 0;
};

// The handshake over link; the server's certificate must chain to a trusted
// root and name serverName, or be the one of trustedCertificateFile. Null,
// with status saying why, on failure.
std::unique_ptr<TlsSession> startTlsSession(TcpLink& link, const std::string& serverName,
                                            const std::string& trustedCertificateFile, Clock::time_point deadline,
                                            IoStatus& status);

}  // namespace mail
