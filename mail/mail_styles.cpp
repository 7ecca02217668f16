#include "mail/mail_request.h"

namespace mail {

MailStyle recorderMailStyle() {
  MailStyle style;
  style.programName = "Rezara";
  style.mailer = "Rezara Sound Recorder (https://www.zedirad.com/rezara)";
  style.textContentType = "text/plain; charset=\"utf-8\"";
  style.mailFromRefused = "Mail host server error (MAIL FROM not accepted). Please check your Email Settings.";
  style.recipientRefused =
      "The mail server did not accept the recipient. The server may only accept mail after a login: "
      "enter the SMTP mail host as host:username:password or username:password@host.";
  return style;
}

MailStyle editorMailStyle() {
  MailStyle style;
  style.programName = "Razavo";
  style.mailer = "Razavo Audio Editor (https://www.zedirad.com/razavo)";
  style.textContentType = "text/plain";
  style.mailFromRefused = "Mail host server error (MAIL FROM not accepted)";
  style.recipientRefused =
      "The mail server did not accept the recipient. If your server needs a login, append your user name and "
      "password to the server name in Email Settings (host:username:password).";
  return style;
}

}  // namespace mail
