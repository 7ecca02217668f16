#pragma once
// The platform's pieces of a send: sockets with TLS, the DNS look-up of
// mail exchangers and the local host name. Windows: Winsock, SChannel and
// DnsQuery; elsewhere: POSIX sockets, OpenSSL and the resolver library.

#include <memory>
#include <string>

#include "mail/mail_stream.h"

namespace mail {

struct TlsOptions {
  // A PEM certificate trusted besides the system's (a test server's own).
  std::string extraTrustedCertificateFile;
};

std::unique_ptr<MailConnector> makeSystemConnector(const TlsOptions& tls = {});
std::unique_ptr<MxResolver> makeSystemMxResolver();
std::string localHostName();

}  // namespace mail
