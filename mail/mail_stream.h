#pragma once
// The byte stream the SMTP dialogue talks through (a TCP connection, with
// TLS once STARTTLS succeeded) and the connector that opens one. Winsock
// with SChannel on Windows, POSIX sockets with OpenSSL elsewhere, scripted
// fakes in tests.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "mail/cancel_token.h"

namespace mail {

enum class IoStatus { Done, Cancelled, TimedOut, Closed, Failed };

class MailStream {
 public:
  virtual ~MailStream() = default;
  // Sends every byte within timeoutMs.
  virtual IoStatus send(const char* data, size_t bytes, int timeoutMs) = 0;
  // Receives between 1 and capacity bytes; Closed when the peer ended the
  // connection.
  virtual IoStatus receive(char* data, size_t capacity, size_t& received, int timeoutMs) = 0;
  // Turns the connection into a TLS one (after the server's 220 to
  // STARTTLS); serverName is the host name the certificate must carry.
  virtual IoStatus startTls(const std::string& serverName) = 0;
  virtual bool encrypted() const = 0;
};

struct ConnectResult {
  IoStatus status = IoStatus::Failed;
  std::unique_ptr<MailStream> stream;  // set when status is Done
};

class MailConnector {
 public:
  virtual ~MailConnector() = default;
  // Resolves host (a dotted address is used as it is) and connects without
  // blocking for at most timeoutMs. The stream's waits poll cancel, which
  // must outlive it.
  virtual ConnectResult connect(const std::string& host, int port, int timeoutMs,
                                const CancelToken& cancel) = 0;
};

// A mail exchanger of a domain, lower preference first.
struct MailExchanger {
  int preference = 0;
  std::string host;
};

class MxResolver {
 public:
  virtual ~MxResolver() = default;
  // The domain's mail exchangers ordered by preference; empty when it has
  // none or the look-up failed.
  virtual std::vector<MailExchanger> lookUp(const std::string& domain) = 0;
};

}  // namespace mail
