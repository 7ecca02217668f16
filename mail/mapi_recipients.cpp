#include "mail/mail_sender.h"
#include "mail/mapi_mail.h"

namespace mail {

std::vector<std::string> mapiRecipientAddresses(const std::string& recipients) {
  std::vector<std::string> addresses;
  for (const std::string& recipient : splitRecipients(recipients)) addresses.push_back("SMTP:" + recipient);
  return addresses;
}

}  // namespace mail
