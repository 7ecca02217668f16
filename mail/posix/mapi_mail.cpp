// There is no MAPI outside Windows.

#include "mail/mapi_mail.h"

namespace mail {

bool mapiAvailable() { return false; }

SendOutcome sendThroughMapi(const MailRequest&) {
  return {MailResult::Failed, "No MAPI mail client is set up on this system."};
}

}  // namespace mail
