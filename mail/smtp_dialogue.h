#pragma once
// The SMTP dialogue on a connected stream: greeting, EHLO or HELO, STARTTLS
// and AUTH LOGIN when a login is due, MAIL FROM, RCPT TO, DATA, the message
// and QUIT.

#include <string>
#include <vector>

#include "mail/mail_request.h"
#include "mail/mail_stream.h"
#include "mail/mime_message.h"

namespace mail {

struct DialogueRequest {
  std::string localHost;
  std::string serverName;  // the host the certificate must name
  std::string sender;
  std::vector<std::string> recipients;
  bool sayEhlo = false;  // EHLO instead of HELO
  bool login = false;    // AUTH LOGIN with the user name and password below
  std::string userName;
  std::string password;
  bool allowUnencryptedLogin = false;
  const MailMessage* message = nullptr;
};

// User-facing texts of the dialogue.
extern const char* const kServerNotResponding;
extern const char* const kHeloRefused;
extern const char* const kLoginRefused;
extern const char* const kDataRefused;
extern const char* const kTerminatorRefused;
extern const char* const kUnencryptedLoginRefused;
extern const char* const kTlsFailed;
extern const char* const kConnectionLost;

SendOutcome runSmtpDialogue(MailStream& stream, const DialogueRequest& request, const MailStyle& style,
                            MailProgress* progress);

}  // namespace mail
