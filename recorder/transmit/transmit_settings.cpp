#include "recorder/transmit/transmit_settings.h"

namespace recorder {

TransmitChoices transmitChoices(const RecorderSettings& settings) {
  TransmitChoices choices;
  choices.folder = settings.sendFolder();
  choices.folderPath = settings.sendFolderDir();
  choices.email = settings.sendEmail();
  choices.ftp = settings.sendFtp();
  choices.program = settings.sendRun();
  choices.programTemplate = settings.sendRunExe();
  return choices;
}

mail::StoredSecret readFtpPassword(const RecorderSettings& settings, mail::PasswordVault* vault) {
  return mail::readSealedValue(settings.store(), kFtpSection, kFtpPasswordValue, vault);
}

bool writeFtpPassword(RecorderSettings& settings, const std::string& password, mail::PasswordVault* vault) {
  return mail::writeSealedValue(settings.store(), kFtpSection, kFtpPasswordValue, password, vault);
}

FtpTarget ftpTarget(const RecorderSettings& settings, mail::PasswordVault* vault) {
  FtpTarget target;
  target.server = settings.ftpValue("Server");
  target.userName = settings.ftpValue("UserName");
  target.password = readFtpPassword(settings, vault).secret;
  target.directory = settings.ftpValue("Directory");
  return target;
}

}  // namespace recorder
