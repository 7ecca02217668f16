// The system's connector: TCP through sys::TcpSocket, TLS through the
// platform's TlsSession once STARTTLS is agreed.

#include "mail/system_mail.h"
#include "mail/tcp_link.h"

namespace mail {
namespace {

class TcpMailStream : public MailStream {
 public:
  TcpMailStream(sys::TcpSocket socket, const CancelToken& cancel, std::string trustedCertificateFile)
      : m_link(std::move(socket), cancel), m_trusted(std::move(trustedCertificateFile)) {}

  IoStatus send(const char* data, size_t bytes, int timeoutMs) override {
    if (m_tls) return m_tls->send(data, bytes, deadlineIn(timeoutMs));
    return m_link.sendAll(data, bytes, deadlineIn(timeoutMs));
  }
  IoStatus receive(char* data, size_t capacity, size_t& received, int timeoutMs) override {
    if (m_tls) return m_tls->receive(data, capacity, received, deadlineIn(timeoutMs));
    return m_link.receiveSome(data, capacity, received, deadlineIn(timeoutMs));
  }
  IoStatus startTls(const std::string& serverName) override {
    static constexpr int kHandshakeTimeoutMs = 20000;
    IoStatus status = IoStatus::Failed;
    m_tls = startTlsSession(m_link, serverName, m_trusted, deadlineIn(kHandshakeTimeoutMs), status);
    return m_tls ? IoStatus::Done : status;
  }
  bool encrypted() const override { return m_tls != nullptr; }

 private:
  // The TLS session reads and writes through the link: declared first, the
  // link outlives it.
  TcpLink m_link;
  std::string m_trusted;
  std::unique_ptr<TlsSession> m_tls;
};

class TcpConnector : public MailConnector {
 public:
  explicit TcpConnector(TlsOptions tls) : m_tls(std::move(tls)) {}

  ConnectResult connect(const std::string& host, int port, int timeoutMs, const CancelToken& cancel) override {
    sys::TcpSocket socket;
    ConnectResult result;
    result.status = TcpLink::connect(socket, host, port, timeoutMs, cancel);
    if (result.status == IoStatus::Done)
      result.stream = std::make_unique<TcpMailStream>(std::move(socket), cancel, m_tls.extraTrustedCertificateFile);
    return result;
  }

 private:
  TlsOptions m_tls;
};

}  // namespace

std::unique_ptr<MailConnector> makeSystemConnector(const TlsOptions& tls) {
  return std::make_unique<TcpConnector>(tls);
}

}  // namespace mail
