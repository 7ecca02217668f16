#pragma once
// E-mail sending: settings, the MIME message, SMTP with STARTTLS and AUTH
// LOGIN, direct delivery, MAPI.

#include "mail/base64.h"
#include "mail/cancel_token.h"
#include "mail/header_text.h"
#include "mail/mail_request.h"
#include "mail/mail_sender.h"
#include "mail/mail_settings.h"
#include "mail/mail_stream.h"
#include "mail/mapi_mail.h"
#include "mail/mime_message.h"
#include "mail/network_readiness.h"
#include "mail/send_recording.h"
#include "mail/smtp_dialogue.h"
#include "mail/smtp_reply.h"
#include "mail/system_mail.h"
