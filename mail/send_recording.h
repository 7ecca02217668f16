#pragma once
// Sending a finished recording by e-mail, for the recorder's transmission:
// to the address of the settings (`To`), from `ReplyToEmail`, through MAPI
// or SMTP as the settings say. Runs on the caller's thread (the recorder's
// sender thread); cancel may be set from any thread. The outcome's error is
// the one message for the user; the caller shows it.

#include <string>

#include "mail/cancel_token.h"
#include "mail/mail_request.h"
#include "mail/mail_sender.h"
#include "mail/mail_settings.h"

namespace mail {

// The request of a recording: subject, body and the file as the attachment.
MailRequest recordingRequest(const MailSettings& settings, const std::string& path);

SendOutcome sendRecording(const MailSettings& settings, const std::string& path, MailProgress* progress,
                          const CancelToken& cancel);
// The same over the given connector and resolver (tests).
SendOutcome sendRecording(const MailSettings& settings, const std::string& path, MailEnvironment& environment,
                          MailProgress* progress, const CancelToken& cancel);

// A send as the settings say, through the system's transport: MAPI when it
// is chosen, otherwise SMTP after the network is made ready.
SendOutcome sendWithSettings(const MailSettings& settings, const MailRequest& request, const MailStyle& style,
                             MailProgress* progress, const CancelToken& cancel);

}  // namespace mail
