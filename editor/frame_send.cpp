// Send...: the current file as an e-mail attachment over the SMTP host of
// the Email Settings.

#include <windows.h>

#include "editor/dialogs/send_email_dialog.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/editor_settings.h"
#include "formats/extension.h"
#include "mail/mail_settings.h"
#include "mail/send_recording.h"
#include "sys/folders.h"
#include "ui/mail_send_progress.h"
#include "ui/text.h"

namespace {

// A folder of the attachment's own that goes with everything in it.
class SendFolder {
 public:
  SendFolder() : m_path(sys::createUniqueFolder(sys::tempFolder(), "RazavoSend")) {}
  ~SendFolder() {
    if (m_path.empty()) return;
    for (const std::string& name : sys::listFiles(m_path)) sys::deleteFile(sys::joinPath(m_path, name));
    sys::removeEmptyFolder(m_path);
  }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace

void Frame::sendDocument(DocumentWindow* document) {
  if (!document) return;
  mail::MailSettings settings = mail::loadMailSettings(kSettingsRoot);
  SendEmailFields fields;
  fields.to = settings.to;
  fields.subject = document->name();
  if (!askSendEmail(m_window, document->name(), kSettingsRoot, fields)) return;
  // The dialog may have changed them.
  settings = mail::loadMailSettings(kSettingsRoot);
  if (settings.smtpHost.empty()) {
    ui::showMessage(m_window, "Unable to send email because you have not entered your SMTP host using Email Settings.",
                    "Error", MB_OK | MB_ICONERROR);
    return;
  }
  m_store->write(mail::kEmailSection, "To", fields.to);

  // The file as it is when nothing changed since it was saved; otherwise the
  // document saved into a file of its own, in its format (WAVE when it has
  // none yet).
  SendFolder folder;
  std::string attachment = document->path();
  bool asSaved = document->hasName() && !document->modified() && !document->tagsModified() &&
                 sys::fileExists(attachment);
  if (!asSaved) {
    if (folder.path().empty()) {
      ui::showMessage(m_window, "Cannot create a temporary folder for the email's attachment.", "Error",
                      MB_OK | MB_ICONERROR);
      return;
    }
    std::string name = document->hasName() ? sys::fileNameOf(document->path()) : document->name();
    if (lowerExtension(name).empty()) name += ".wav";
    SinkRequest request;
    request.path = sys::joinPath(folder.path(), name);
    if (document->hasName()) {
      request.sameFormat = true;
      request.channelsOverride = document->buffer().channels();
    }
    if (saveWithProgress(document->buffer(), request, &document->tags()) != JobResult::Done) return;
    attachment = request.path;
  }

  mail::MailRequest request = mail::requestFromSettings(settings);
  request.recipients = fields.to;
  request.subject = fields.subject;
  request.body = fields.message;
  request.attachments = {attachment};
  // The editor's sender has no direct delivery and no MAPI.
  request.sendDirect = false;
  settings.useMapi = false;
  mail::MailResult result = ui::sendMailWithProgress(
      m_window, "Send Email", [&](mail::MailProgress& progress, const mail::CancelToken& cancel) {
        return mail::sendWithSettings(settings, request, mail::editorMailStyle(), &progress, cancel);
      });
  if (result == mail::MailResult::Sent)
    ui::showMessage(m_window, "The email with \"" + sys::fileNameOf(attachment) + "\" was sent.", "Razavo",
                    MB_OK | MB_ICONINFORMATION);
}
