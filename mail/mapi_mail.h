#pragma once
// Handing a message to the system's MAPI mail client.

#include <string>
#include <vector>

#include "mail/mail_request.h"

namespace mail {

// Each recipient of a list in the address form MAPI clients take, "SMTP:<address>".
std::vector<std::string> mapiRecipientAddresses(const std::string& recipients);

// Whether a MAPI mail client is set up (always false where there is no MAPI).
bool mapiAvailable();
// Sent when the client took the message; every other answer is a failure.
SendOutcome sendThroughMapi(const MailRequest& request);

}  // namespace mail
