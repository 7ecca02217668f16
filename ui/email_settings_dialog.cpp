#include "ui/email_settings_dialog.h"

#include "mail/mail_settings.h"
#include "mail/mapi_mail.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace ui {
namespace {

constexpr int kUseMapi = 101, kUseSmtp = 102, kHost = 103, kReplyTo = 104, kAuthOn = 105, kUserName = 106,
              kPassword = 107, kAllowPlain = 108, kSendDirect = 109, kDirectOnly = 110;
constexpr int kHostLabel = 111, kReplyLabel = 112, kUserLabel = 113, kPasswordLabel = 114;
// Stands for a stored password in the masked field.
constexpr const char* kPasswordPlaceholder = mail::kSecretPlaceholder;

class EmailSettingsDialog : public Dialog {
 public:
  explicit EmailSettingsDialog(mail::MailSettings settings)
      : Dialog(DialogTemplate("Email Settings", 300, 204)
                   .radio(kUseMapi, "Use MAPI to send email with email software (eg.Eudora, Outlook, etc)", 8, 8,
                          286, 10, true)
                   .radio(kUseSmtp, "Send using a SMTP Server", 8, 22, 286, 10, false)
                   .text(kHostLabel, "SMTP mail host:", 20, 40, 80, 10)
                   .edit(kHost, "", 104, 38, 188, 13, ES_AUTOHSCROLL)
                   .text(kReplyLabel, "Default reply email:", 20, 58, 80, 10)
                   .edit(kReplyTo, "", 104, 56, 188, 13, ES_AUTOHSCROLL)
                   .checkBox(kAuthOn, "Server requires authentication", 20, 76, 200, 10)
                   .text(kUserLabel, "User Name:", 32, 92, 70, 10)
                   .edit(kUserName, "", 104, 90, 188, 13, ES_AUTOHSCROLL)
                   .text(kPasswordLabel, "Password:", 32, 110, 70, 10)
                   .edit(kPassword, "", 104, 108, 188, 13, ES_AUTOHSCROLL | ES_PASSWORD)
                   .checkBox(kAllowPlain, "Allow login without encryption (the password can be read on the way)",
                             32, 126, 262, 10)
                   .checkBox(kSendDirect, "If server is down, attempt to send directly", 20, 146, 274, 10)
                   .checkBox(kDirectOnly, "Send directly to other side (work as own SMTP server)", 20, 162, 274, 10)
                   .defaultButton(IDOK, "OK", 186, 182, 50, 14)
                   .button(IDCANCEL, "Cancel", 242, 182, 50, 14)),
        m_settings(std::move(settings)) {}

  const mail::MailSettings& settings() const { return m_settings; }

 protected:
  bool onInit() override {
    setCheck(m_settings.useMapi ? kUseMapi : kUseSmtp, true);
    setText(kHost, m_settings.smtpHost);
    setText(kReplyTo, m_settings.replyTo);
    setCheck(kAuthOn, m_settings.authOn);
    setText(kUserName, m_settings.userName);
    if (!m_settings.password.empty()) setText(kPassword, kPasswordPlaceholder);
    setCheck(kAllowPlain, m_settings.allowUnencryptedLogin);
    setCheck(kSendDirect, m_settings.sendDirect);
    setCheck(kDirectOnly, !m_settings.useSmtpHost);
    m_ready = true;
    updateEnabled();
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kPassword && code == EN_CHANGE && m_ready) m_passwordTyped = true;
    if (id == kUseMapi || id == kUseSmtp || id == kAuthOn || id == kDirectOnly) updateEnabled();
    if (id == IDOK && !accept()) return;
    if (id == IDOK || id == IDCANCEL) Dialog::onCommand(id, code);
  }

 private:
  void updateEnabled() {
    bool smtp = isChecked(kUseSmtp);
    bool viaHost = smtp && !isChecked(kDirectOnly);
    bool login = viaHost && isChecked(kAuthOn);
    for (int id : {kHost, kHostLabel, kAuthOn, kSendDirect}) enable(id, viaHost);
    for (int id : {kReplyTo, kReplyLabel, kDirectOnly}) enable(id, smtp);
    for (int id : {kUserName, kUserLabel, kPassword, kPasswordLabel, kAllowPlain}) enable(id, login);
  }

  bool refuse(const std::string& text, const std::string& title, int focus) {
    showMessage(handle(), text, title, MB_OK | MB_ICONEXCLAMATION);
    SetFocus(item(focus));
    return false;
  }

  bool accept() {
    mail::MailSettings next = m_settings;
    next.useMapi = isChecked(kUseMapi);
    next.useSmtpHost = !isChecked(kDirectOnly);
    next.smtpHost = getText(kHost);
    next.replyTo = getText(kReplyTo);
    next.authOn = isChecked(kAuthOn);
    next.userName = getText(kUserName);
    if (m_passwordTyped) next.password = getText(kPassword);
    next.allowUnencryptedLogin = isChecked(kAllowPlain);
    next.sendDirect = isChecked(kSendDirect);
    // A login typed into the host goes where logins belong.
    mail::separateHostLogin(next);
    if (next.useMapi) {
      if (!mail::mapiAvailable())
        return refuse("Your email software (eg. Outlook Eudora etc.) has not been setup for MAPI. Refer to your email "
                      "software Help to find out how to set it up for MAPI. Otherwise use the SMTP option.",
                      "MAPI Not Detected", kUseSmtp);
    } else {
      if (next.useSmtpHost && next.smtpHost.empty())
        return refuse("If you choose SMTP you must enter a SMTP mailhost. Call your ISP if you don't know what your "
                      "SMTP mailhost is.",
                      "Mailhost Required", kHost);
      if (next.replyTo.empty())
        return refuse("If you choose SMTP you must enter a valid reply-to address. Enter your email address.",
                      "Reply Email Required", kReplyTo);
      if (next.replyTo.find('@') == std::string::npos)
        return refuse("Please enter a valid reply-to email address.", "Reply Email Required", kReplyTo);
      if (next.useSmtpHost && next.authOn && next.userName.empty())
        return refuse("If your SMTP server requires authentication, you must enter a SMTP username to connect to your "
                      "server.",
                      "User Name Required", kUserName);
      if (next.useSmtpHost && next.authOn && next.password.empty())
        return refuse("If your SMTP server requires authentication, you must enter a valid SMTP password to connect "
                      "to your server.",
                      "Password Required", kPassword);
    }
    m_settings = next;
    return true;
  }

  mail::MailSettings m_settings;
  bool m_ready = false;
  bool m_passwordTyped = false;
};

}  // namespace

bool editEmailSettings(HWND owner, const std::string& root) {
  EmailSettingsDialog dialog(mail::loadMailSettings(root));
  if (dialog.runModal(owner) != IDOK) return false;
  if (!mail::saveMailSettings(root, dialog.settings())) {
    showMessage(owner, "The email settings could not be stored.", "Error", MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

}  // namespace ui
