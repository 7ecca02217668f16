// TLS through OpenSSL, its records carried over the link by memory BIOs.

#include <arpa/inet.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "mail/system_mail.h"
#include "mail/tcp_link.h"

namespace mail {
namespace {

class OpenSslSession : public TlsSession {
 public:
  explicit OpenSslSession(TcpLink& link) : m_link(link) {}
  ~OpenSslSession() override {
    if (m_ssl) SSL_free(m_ssl);  // frees both BIOs with it
    if (m_context) SSL_CTX_free(m_context);
  }

  IoStatus handshake(const std::string& serverName, const std::string& trustedFile, Clock::time_point deadline) {
    m_context = SSL_CTX_new(TLS_client_method());
    if (!m_context) return IoStatus::Failed;
    SSL_CTX_set_min_proto_version(m_context, TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(m_context);
    if (!trustedFile.empty() && SSL_CTX_load_verify_locations(m_context, trustedFile.c_str(), nullptr) != 1)
      return IoStatus::Failed;
    SSL_CTX_set_verify(m_context, SSL_VERIFY_PEER, nullptr);
    m_ssl = SSL_new(m_context);
    if (!m_ssl) return IoStatus::Failed;
    m_in = BIO_new(BIO_s_mem());
    m_out = BIO_new(BIO_s_mem());
    if (!m_in || !m_out) {
      BIO_free(m_in);
      BIO_free(m_out);
      return IoStatus::Failed;
    }
    // An empty input means "wait for more", not the end of the stream.
    BIO_set_mem_eof_return(m_in, -1);
    SSL_set_bio(m_ssl, m_in, m_out);
    SSL_set_tlsext_host_name(m_ssl, serverName.c_str());
    in_addr address4;
    in6_addr address6;
    // The certificate must name the host we connected to.
    if (inet_pton(AF_INET, serverName.c_str(), &address4) == 1 || inet_pton(AF_INET6, serverName.c_str(), &address6) == 1)
      X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), serverName.c_str());
    else
      SSL_set1_host(m_ssl, serverName.c_str());
    for (;;) {
      int result = SSL_connect(m_ssl);
      IoStatus flushed = flush(deadline);
      if (flushed != IoStatus::Done) return flushed;
      if (result == 1) return IoStatus::Done;
      if (SSL_get_error(m_ssl, result) != SSL_ERROR_WANT_READ) return IoStatus::Failed;
      IoStatus filled = fill(deadline);
      if (filled != IoStatus::Done) return filled == IoStatus::Cancelled ? filled : IoStatus::Failed;
    }
  }

  IoStatus send(const char* data, size_t bytes, Clock::time_point deadline) override {
    while (bytes > 0) {
      int written = SSL_write(m_ssl, data, int(std::min<size_t>(bytes, 16384)));
      if (written <= 0) return IoStatus::Failed;
      IoStatus flushed = flush(deadline);
      if (flushed != IoStatus::Done) return flushed;
      data += written;
      bytes -= size_t(written);
    }
    return IoStatus::Done;
  }

  IoStatus receive(char* data, size_t capacity, size_t& received, Clock::time_point deadline) override {
    received = 0;
    for (;;) {
      int count = SSL_read(m_ssl, data, int(std::min<size_t>(capacity, 1 << 20)));
      if (count > 0) {
        received = size_t(count);
        return IoStatus::Done;
      }
      int error = SSL_get_error(m_ssl, count);
      if (error != SSL_ERROR_WANT_READ) return IoStatus::Closed;
      IoStatus flushed = flush(deadline);
      if (flushed != IoStatus::Done) return flushed;
      IoStatus filled = fill(deadline);
      if (filled != IoStatus::Done) return filled;
    }
  }

 private:
  // Sends what OpenSSL has written.
  IoStatus flush(Clock::time_point deadline) {
    char buffer[16384];
    while (BIO_ctrl_pending(m_out) > 0) {
      int count = BIO_read(m_out, buffer, sizeof buffer);
      if (count <= 0) break;
      IoStatus status = m_link.sendAll(buffer, size_t(count), deadline);
      if (status != IoStatus::Done) return status;
    }
    return IoStatus::Done;
  }
  // Hands OpenSSL what arrived.
  IoStatus fill(Clock::time_point deadline) {
    char buffer[16384];
    size_t received = 0;
    IoStatus status = m_link.receiveSome(buffer, sizeof buffer, received, deadline);
    if (status == IoStatus::Done) BIO_write(m_in, buffer, int(received));
    return status;
  }

  TcpLink& m_link;
  SSL_CTX* m_context = nullptr;
  SSL* m_ssl = nullptr;
  BIO* m_in = nullptr;
  BIO* m_out = nullptr;
};

}  // namespace

std::unique_ptr<TlsSession> startTlsSession(TcpLink& link, const std::string& serverName,
                                            const std::string& trustedCertificateFile, Clock::time_point deadline,
                                            IoStatus& status) {
  auto session = std::make_unique<OpenSslSession>(link);
  status = session->handshake(serverName, trustedCertificateFile, deadline);
  if (status != IoStatus::Done) return nullptr;
  return session;
}

std::string localHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || !name[0]) return "localhost";
  return name;
}

}  // namespace mail
