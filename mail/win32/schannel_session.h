#pragma once
// TLS on a connected socket through SChannel (SSPI). The server's
// certificate is checked here, not left to the provider: it must chain to a
// trusted root and name the server, or be the one certificate pinned.

#include <winsock2.h>
#include <windows.h>
#define SECURITY_WIN32
#include <security.h>
#include <schannel.h>

#include <string>
#include <vector>

#include "mail/tcp_link.h"

namespace mail::win32 {

class SchannelSession : public TlsSession {
 public:
  explicit SchannelSession(TcpLink& link) : m_link(link) {}
  ~SchannelSession() override;
  SchannelSession(const SchannelSession&) = delete;
  SchannelSession& operator=(const SchannelSession&) = delete;

  // pinnedCertificate: DER bytes of a certificate trusted as it is (may be empty).
  IoStatus handshake(const std::string& serverName, const std::vector<BYTE>& pinnedCertificate,
                     Clock::time_point deadline);
  IoStatus send(const char* data, size_t bytes, Clock::time_point deadline) override;
  IoStatus receive(char* data, size_t capacity, size_t& received, Clock::time_point deadline) override;

 private:
  bool certificateTrusted(const std::wstring& serverName, const std::vector<BYTE>& pinned);
  IoStatus readMore(Clock::time_point deadline);

  TcpLink& m_link;
  CredHandle m_credentials{};
  CtxtHandle m_context{};
  bool m_haveCredentials = false;
  bool m_haveContext = false;
  SecPkgContext_StreamSizes m_sizes{};
  std::string m_incoming;   // received, not yet decrypted
  std::string m_plaintext;  // decrypted, not yet handed out
};

}  // namespace mail::win32
