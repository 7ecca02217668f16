#pragma once
// The e-mail settings of a program (section "Email") and the protection of
// the stored password.

#include <memory>
#include <optional>
#include <string>

#include "mail/mail_request.h"
#include "mail/sealed_value.h"
#include "sys/settings_store.h"

namespace mail {

// Seals a secret for the current user (DPAPI on Windows).
class PasswordVault {
 public:
  virtual ~PasswordVault() = default;
  // The sealed form as bytes, or nothing when sealing is not possible.
  virtual std::optional<std::string> seal(const std::string& secret) = 0;
  virtual std::optional<std::string> unseal(const std::string& sealed) = 0;
};

// The system's vault; null where the platform has none.
std::unique_ptr<PasswordVault> makeSystemPasswordVault();

struct MailSettings {
  bool useMapi = true;
  bool useSmtpHost = true;
  std::string smtpHost;
  bool authOn = false;
  std::string userName;
  std::string password;
  bool sendDirect = true;
  std::string replyTo;
  std::string to;
  // Ours: a login may go over a link that is not encrypted.
  bool allowUnencryptedLogin = false;
  // The stored password was clear text (the next save seals it).
  bool passwordWasClear = false;
};

constexpr const char* kEmailSection = "Email";
constexpr const char* kPasswordValue = "SMTPPassword";

// Reads the user's values; where one is missing, the machine-wide value
// (machine may be null). The password is read from the user's values only.
MailSettings readMailSettings(const sys::SettingsStore& user, const sys::SettingsStore* machine,
                              PasswordVault* vault);
// Writes every value; the password only sealed (false, and no password
// stored, when it cannot be sealed).
bool writeMailSettings(sys::SettingsStore& store, const MailSettings& settings, PasswordVault* vault);

// The login a host text may carry: "host:user:password" or
// "user:password@host" (with two at signs the second one starts the host).
struct HostLogin {
  std::string host;  // with its ":port" when one was given
  std::string userName;
  std::string password;
  bool hasLogin = false;
};
HostLogin parseHostLogin(const std::string& field);

// Moves a login written into the host text ("host:user:password" or
// "user:password@host") into the user name and password, so that the
// stored host text never holds a password; true when there was one.
bool separateHostLogin(MailSettings& settings);

// The machine-wide values under root (read only); null where there are none.
std::unique_ptr<sys::SettingsStore> openMachineWideSettings(const std::string& root);

// A program's settings under root ("Software\\Zedirad\\Rezara"): the
// user's values, the machine-wide ones where those are missing, the
// password unsealed. A login found in the stored host text is moved out of
// it and the settings are stored again.
MailSettings loadMailSettings(const std::string& root);
// Stores settings under root for the current user, the password sealed.
bool saveMailSettings(const std::string& root, MailSettings settings);

// The send request of the settings: the host when it is used, the login
// when authentication is on.
MailRequest requestFromSettings(const MailSettings& settings);

}  // namespace mail
