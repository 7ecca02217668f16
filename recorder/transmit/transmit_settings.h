#pragma once
// What the recorder's settings say about passing a recording on: the methods
// switched on, the FTP server and its password. The password (`Ftp`
// `Password`) is kept sealed for the current user; an old clear value is
// still read and is sealed by the next save.

#include <string>

#include "mail/mail_settings.h"
#include "recorder/model/recorder_settings.h"
#include "recorder/transmit/ftp_upload.h"
#include "recorder/transmit/transmit.h"

namespace recorder {

constexpr const char* kFtpPasswordValue = "Password";

TransmitChoices transmitChoices(const RecorderSettings& settings);

mail::StoredSecret readFtpPassword(const RecorderSettings& settings, mail::PasswordVault* vault);
// False (and nothing stored) when the password cannot be sealed.
bool writeFtpPassword(RecorderSettings& settings, const std::string& password, mail::PasswordVault* vault);

// The server, login and folder of the settings, the password unsealed.
FtpTarget ftpTarget(const RecorderSettings& settings, mail::PasswordVault* vault);

}  // namespace recorder
