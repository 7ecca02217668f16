#pragma once
// A whole send over SMTP: to the configured host, or straight to each
// recipient's mail exchanger when there is no host or (when allowed) the
// host cannot be reached.

#include <string>
#include <vector>

#include "mail/cancel_token.h"
#include "mail/header_text.h"
#include "mail/mail_request.h"
#include "mail/mail_stream.h"

namespace mail {

struct MailEnvironment {
  MailConnector* connector = nullptr;
  MxResolver* resolver = nullptr;
  std::string localHost;
  MailTime time;
  int directPort = 25;  // the port of mail exchangers
};

// The recipients of a list: split at ",", blanks around them removed, empty
// entries skipped.
std::vector<std::string> splitRecipients(const std::string& list);
// An address the dialogue may carry: an at sign, at most 259 characters,
// nothing that could end or break an SMTP command.
bool usableAddress(const std::string& address);

// "host:port" split at the first colon; port 25 when none is given, 0 when
// the port is not a number from 1 to 65535.
struct HostAndPort {
  std::string host;
  int port = 25;
};
HostAndPort splitHostAndPort(const std::string& text);

extern const char* const kInvalidAddress;

SendOutcome sendMail(const MailRequest& request, const MailStyle& style, MailEnvironment& environment,
                     MailProgress* progress, const CancelToken& cancel);

}  // namespace mail
