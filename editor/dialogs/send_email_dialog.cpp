#include "editor/dialogs/send_email_dialog.h"

#include "mail/mail_sender.h"
#include "ui/dialog.h"
#include "ui/email_settings_dialog.h"
#include "ui/text.h"

namespace {

constexpr int kTo = 101, kSubject = 102, kMessage = 103, kSettings = 104, kFile = 105;

class SendEmailDialog : public ui::Dialog {
 public:
  SendEmailDialog(const std::string& fileName, const std::string& settingsRoot, SendEmailFields fields)
      : ui::Dialog(ui::DialogTemplate("Send Email", 280, 196)
                       .text(-1, "File:", 8, 10, 50, 10)
                       .text(kFile, "", 60, 10, 212, 10, SS_PATHELLIPSIS)
                       .text(-1, "To:", 8, 28, 50, 10)
                       .edit(kTo, "", 60, 26, 212, 13, ES_AUTOHSCROLL)
                       .text(-1, "Subject:", 8, 46, 50, 10)
                       .edit(kSubject, "", 60, 44, 212, 13, ES_AUTOHSCROLL)
                       .text(-1, "Message:", 8, 64, 50, 10)
                       .edit(kMessage, "", 60, 62, 212, 104,
                             ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL)
                       .button(kSettings, "Email &Settings...", 8, 174, 80, 14)
                       .defaultButton(IDOK, "Send", 166, 174, 50, 14)
                       .button(IDCANCEL, "Cancel", 222, 174, 50, 14)),
        m_fileName(fileName),
        m_settingsRoot(settingsRoot),
        m_fields(std::move(fields)) {}

  const SendEmailFields& fields() const { return m_fields; }

 protected:
  bool onInit() override {
    setText(kFile, m_fileName);
    setText(kTo, m_fields.to);
    setText(kSubject, m_fields.subject);
    setText(kMessage, m_fields.message);
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kSettings) {
      ui::editEmailSettings(handle(), m_settingsRoot);
      return;
    }
    if (id == IDOK) {
      std::vector<std::string> recipients = mail::splitRecipients(getText(kTo));
      bool usable = !recipients.empty();
      for (const std::string& recipient : recipients) usable = usable && mail::usableAddress(recipient);
      if (!usable) {
        ui::showMessage(handle(), "Please enter the email address of the person you want to send the file to.",
                        "Invalid Email", MB_OK | MB_ICONEXCLAMATION);
        SetFocus(item(kTo));
        return;
      }
      m_fields.to = getText(kTo);
      m_fields.subject = getText(kSubject);
      m_fields.message = getText(kMessage);
    }
    if (id == IDOK || id == IDCANCEL) ui::Dialog::onCommand(id, code);
  }

 private:
  std::string m_fileName;
  std::string m_settingsRoot;
  SendEmailFields m_fields;
};

}  // namespace

bool askSendEmail(HWND owner, const std::string& fileName, const std::string& settingsRoot, SendEmailFields& fields) {
  SendEmailDialog dialog(fileName, settingsRoot, fields);
  if (dialog.runModal(owner) != IDOK) return false;
  fields = dialog.fields();
  return true;
}
