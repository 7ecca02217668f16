// Without a user-bound protection service there is no vault: passwords are
// then never stored.

#include "mail/mail_settings.h"

namespace mail {

std::unique_ptr<PasswordVault> makeSystemPasswordVault() { return nullptr; }

}  // namespace mail

namespace mail {

std::unique_ptr<sys::SettingsStore> openMachineWideSettings(const std::string&) { return nullptr; }

}  // namespace mail
