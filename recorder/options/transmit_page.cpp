#include "recorder/options/transmit_page.h"

#include "recorder/transmit/transmit_settings.h"
#include "ui/email_settings_dialog.h"
#include "ui/folder_browser.h"

namespace recorder {

namespace {

// The FTP values by control, but for the password, which is kept sealed.
struct FtpField {
  int id;
  const char* name;
};
constexpr FtpField kFtpFields[] = {{TransmitPage::kServer, "Server"},
                                   {TransmitPage::kUserName, "UserName"},
                                   {TransmitPage::kDirectory, "Directory"}};

}  // namespace

TransmitPage::TransmitPage(RecorderSettings& settings, const OptionsContext& context)
    : OptionPage(layout("Transmit")
                     .checkBox(kSendFolder, "Mirror Recordings to this folder (eg.network or backup drive)", 8, 8,
                               244, 10)
                     .edit(kFolder, "", 20, 20, 210, 12, ES_AUTOHSCROLL)
                     .button(kBrowseFolder, "...", 234, 19, 18, 14)
                     .checkBox(kSendEmail, "Send Recordings by Email (as an attachment)", 8, 40, 244, 10)
                     .text(-1, "To Email Address:", 20, 54, 66, 10)
                     .edit(kEmailTo, "", 88, 52, 100, 12, ES_AUTOHSCROLL)
                     .button(kEmailSettings, "Email Settings...", 192, 51, 60, 14)
                     .checkBox(kSendFtp, "Upload Recording via the Internet using FTP", 8, 72, 244, 10)
                     .text(-1, "FTP Server:", 20, 86, 60, 10)
                     .edit(kServer, "", 88, 84, 164, 12, ES_AUTOHSCROLL)
                     .text(-1, "User Name:", 20, 102, 60, 10)
                     .edit(kUserName, "", 88, 100, 164, 12, ES_AUTOHSCROLL)
                     .text(-1, "Password:", 20, 118, 60, 10)
                     .edit(kPassword, "", 88, 116, 164, 12, ES_AUTOHSCROLL | ES_PASSWORD)
                     .text(-1, "Directory:", 20, 134, 60, 10)
                     .edit(kDirectory, "", 88, 132, 164, 12, ES_AUTOHSCROLL)
                     .checkBox(kSendRun, "Run external exe (advanced option, use %s for audio file path)", 8, 152,
                               244, 10)
                     .edit(kRunExe, "", 20, 164, 210, 12, ES_AUTOHSCROLL)
                     .button(kBrowseExe, "...", 234, 163, 18, 14),
                 context),
      m_settings(settings) {}

bool TransmitPage::onInit() {
  setCheck(kSendFolder, m_settings.sendFolder());
  setText(kFolder, m_settings.sendFolderDir());
  setCheck(kSendEmail, m_settings.sendEmail());
  setText(kEmailTo, m_settings.emailTo());
  setCheck(kSendFtp, m_settings.sendFtp());
  for (const auto& field : kFtpFields) setText(field.id, m_settings.ftpValue(field.name));
  // A stored password is never shown: a placeholder stands for it until the
  // user types another.
  std::unique_ptr<mail::PasswordVault> vault = mail::makeSystemPasswordVault();
  const mail::StoredSecret password = readFtpPassword(m_settings, vault.get());
  m_passwordWasClear = password.wasClear;
  if (!password.secret.empty()) setText(kPassword, mail::kSecretPlaceholder);
  setCheck(kSendRun, m_settings.sendRun());
  setText(kRunExe, m_settings.sendRunExe());
  enableFields();
  return true;
}

void TransmitPage::enableFields() {
  for (int id : {kFolder, kBrowseFolder}) enable(id, isChecked(kSendFolder));
  enable(kEmailTo, isChecked(kSendEmail));
  for (const auto& field : kFtpFields) enable(field.id, isChecked(kSendFtp));
  enable(kPassword, isChecked(kSendFtp));
  for (int id : {kRunExe, kBrowseExe}) enable(id, isChecked(kSendRun));
}

void TransmitPage::onCommand(int id, int code) {
  if (id == kSendFolder || id == kSendEmail || id == kSendFtp || id == kSendRun) {
    enableFields();
  } else if (id == kEmailSettings) {
    ui::editEmailSettings(handle(), kSettingsRoot);
  } else if (id == kBrowseFolder) {
    if (auto folder = ui::browseForFolder(handle(), "Browse for folder", getText(kFolder))) setText(kFolder, *folder);
  } else if (id == kBrowseExe) {
    if (auto program = ui::browseForProgram(handle(), "Browse for exe", "")) setText(kRunExe, "\"" + *program + "\" %s");
  }
}

bool TransmitPage::leave() { return !refuse(checkTransmitEmail(isChecked(kSendEmail), getText(kEmailTo)), kEmailTo); }

void TransmitPage::apply() {
  m_settings.setSendFolder(isChecked(kSendFolder));
  m_settings.setSendFolderDir(getText(kFolder));
  m_settings.setSendEmail(isChecked(kSendEmail));
  m_settings.setEmailTo(getText(kEmailTo));
  m_settings.setSendFtp(isChecked(kSendFtp));
  for (const auto& field : kFtpFields) m_settings.setFtpValue(field.name, getText(field.id));
  std::unique_ptr<mail::PasswordVault> vault = mail::makeSystemPasswordVault();
  const std::string typed = getText(kPassword);
  if (typed != mail::kSecretPlaceholder) {
    writeFtpPassword(m_settings, typed, vault.get());
  } else if (m_passwordWasClear) {
    // The first save seals a password an older version kept in clear.
    writeFtpPassword(m_settings, readFtpPassword(m_settings, vault.get()).secret, vault.get());
  }
  m_settings.setSendRun(isChecked(kSendRun));
  m_settings.setSendRunExe(getText(kRunExe));
}

}  // namespace recorder
