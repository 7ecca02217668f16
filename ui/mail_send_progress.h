#pragma once
// Runs an e-mail send on a thread of its own under the progress dialog: the
// dialog shows the send's progress lines, Cancel ends every wait of the
// send, and a failure is shown in one message box titled "Error".

#include <windows.h>

#include <functional>

#include "mail/cancel_token.h"
#include "mail/mail_request.h"

namespace ui {

using MailSendWork = std::function<mail::SendOutcome(mail::MailProgress&, const mail::CancelToken&)>;

mail::MailResult sendMailWithProgress(HWND owner, const std::string& title, MailSendWork work);

}  // namespace ui
