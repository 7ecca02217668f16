// TCP connections over POSIX sockets, with OpenSSL for STARTTLS.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "mail/system_mail.h"

namespace mail {
namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : int(left);
}

// Waits for events on socket in slices, so that cancel is seen within
// kCancelPollMs.
IoStatus waitFor(int socket, short events, Clock::time_point deadline, const CancelToken& cancel) {
  for (;;) {
    if (cancel.cancelled()) return IoStatus::Cancelled;
    int left = millisecondsLeft(deadline);
    if (left == 0) return IoStatus::TimedOut;
    pollfd entry{socket, events, 0};
    int ready = ::poll(&entry, 1, std::min(left, kCancelPollMs));
    if (ready < 0 && errno != EINTR) return IoStatus::Failed;
    if (ready > 0) return IoStatus::Done;
  }
}

class SocketStream : public MailStream {
 public:
  SocketStream(int socket, const CancelToken& cancel, const TlsOptions& tls)
      : m_socket(socket), m_cancel(cancel), m_tls(tls) {}
  ~SocketStream() override {
    if (m_ssl) SSL_free(m_ssl);
    if (m_context) SSL_CTX_free(m_context);
    ::close(m_socket);
  }

  IoStatus send(const char* data, size_t bytes, int timeoutMs) override {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes > 0) {
      if (m_cancel.cancelled()) return IoStatus::Cancelled;
      long sent;
      short waitEvents = POLLOUT;
      if (m_ssl) {
        int n = SSL_write(m_ssl, data, int(std::min<size_t>(bytes, 1 << 20)));
        if (n <= 0) {
          int error = SSL_get_error(m_ssl, n);
          if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return IoStatus::Failed;
          waitEvents = error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT;
          sent = 0;
        } else {
          sent = n;
        }
      } else {
        sent = ::send(m_socket, data, bytes, MSG_NOSIGNAL);
        if (sent < 0) {
          if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return IoStatus::Failed;
          sent = 0;
        }
      }
      data += sent;
      bytes -= size_t(sent);
      if (bytes > 0 && sent == 0) {
        IoStatus status = waitFor(m_socket, waitEvents, deadline, m_cancel);
        if (status != IoStatus::Done) return status;
      }
    }
    return IoStatus::Done;
  }

  IoStatus receive(char* data, size_t capacity, size_t& received, int timeoutMs) override {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    received = 0;
    for (;;) {
      if (m_cancel.cancelled()) return IoStatus::Cancelled;
      short waitEvents = POLLIN;
      if (m_ssl) {
        int n = SSL_read(m_ssl, data, int(std::min<size_t>(capacity, 1 << 20)));
        if (n > 0) {
          received = size_t(n);
          return IoStatus::Done;
        }
        int error = SSL_get_error(m_ssl, n);
        if (error == SSL_ERROR_ZERO_RETURN) return IoStatus::Closed;
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return IoStatus::Closed;
        waitEvents = error == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN;
      } else {
        long n = ::recv(m_socket, data, capacity, 0);
        if (n > 0) {
          received = size_t(n);
          return IoStatus::Done;
        }
        if (n == 0) return IoStatus::Closed;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return IoStatus::Failed;
      }
      IoStatus status = waitFor(m_socket, waitEvents, deadline, m_cancel);
      if (status != IoStatus::Done) return status;
    }
  }

  IoStatus startTls(const std::string& serverName) override {
    m_context = SSL_CTX_new(TLS_client_method());
    if (!m_context) return IoStatus::Failed;
    SSL_CTX_set_min_proto_version(m_context, TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(m_context);
    if (!m_tls.extraTrustedCertificateFile.empty() &&
        SSL_CTX_load_verify_locations(m_context, m_tls.extraTrustedCertificateFile.c_str(), nullptr) != 1)
      return IoStatus::Failed;
    SSL_CTX_set_verify(m_context, SSL_VERIFY_PEER, nullptr);
    m_ssl = SSL_new(m_context);
    if (!m_ssl || SSL_set_fd(m_ssl, m_socket) != 1) return IoStatus::Failed;
    SSL_set_tlsext_host_name(m_ssl, serverName.c_str());
    // The certificate must name the host we connected to.
    SSL_set_hostflags(m_ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    in6_addr address6;
    in_addr address4;
    if (inet_pton(AF_INET, serverName.c_str(), &address4) == 1 || inet_pton(AF_INET6, serverName.c_str(), &address6) == 1)
      X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), serverName.c_str());
    else
      SSL_set1_host(m_ssl, serverName.c_str());
    auto deadline = Clock::now() + std::chrono::milliseconds(20000);
    for (;;) {
      int n = SSL_connect(m_ssl);
      if (n == 1) break;
      int error = SSL_get_error(m_ssl, n);
      if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return IoStatus::Failed;
      IoStatus status = waitFor(m_socket, error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT, deadline, m_cancel);
      if (status != IoStatus::Done) return status;
    }
    m_encrypted = true;
    return IoStatus::Done;
  }

  bool encrypted() const override { return m_encrypted; }

 private:
  int m_socket;
  const CancelToken& m_cancel;
  TlsOptions m_tls;
  SSL_CTX* m_context = nullptr;
  SSL* m_ssl = nullptr;
  bool m_encrypted = false;
};

class SocketConnector : public MailConnector {
 public:
  explicit SocketConnector(TlsOptions tls) : m_tls(std::move(tls)) {}

  ConnectResult connect(const std::string& host, int port, int timeoutMs, const CancelToken& cancel) override {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0) return {};
    ConnectResult result;
    for (addrinfo* address = addresses; address && result.status != IoStatus::Done; address = address->ai_next) {
      int socket = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
      if (socket < 0) continue;
      ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
      IoStatus status = IoStatus::Done;
      if (::connect(socket, address->ai_addr, address->ai_addrlen) != 0) {
        status = errno == EINPROGRESS ? waitFor(socket, POLLOUT, deadline, cancel) : IoStatus::Failed;
        int error = 0;
        socklen_t length = sizeof error;
        if (status == IoStatus::Done && (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0))
          status = IoStatus::Failed;
      }
      if (status == IoStatus::Done) {
        result.status = IoStatus::Done;
        result.stream = std::make_unique<SocketStream>(socket, cancel, m_tls);
      } else {
        ::close(socket);
        result.status = status;
        if (status == IoStatus::Cancelled || status == IoStatus::TimedOut) break;
      }
    }
    ::freeaddrinfo(addresses);
    return result;
  }

 private:
  TlsOptions m_tls;
};

}  // namespace

std::unique_ptr<MailConnector> makeSystemConnector(const TlsOptions& tls) {
  return std::make_unique<SocketConnector>(tls);
}

std::string localHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || !name[0]) return "localhost";
  return name;
}

}  // namespace mail
