#pragma once
// A secret kept in a settings value: sealed for the current user, stored as
// kSealedPrefix and the sealed bytes in base64. A value without the prefix
// is an old clear one; it is read as it is and sealed when next written.

#include <optional>
#include <string>

#include "sys/settings_store.h"

namespace mail {

class PasswordVault;

// A sealed secret is stored as this prefix and the sealed bytes in base64.
constexpr const char* kSealedPrefix = "dpapi:";

// What a dialog shows in place of a stored secret, which it never shows.
constexpr const char* kSecretPlaceholder = "\x01\x02\x03\x04\x05\x06\x07\x08";

struct StoredSecret {
  std::string secret;  // empty when none is stored or it cannot be unsealed
  bool wasClear = false;  // stored in clear: the next write seals it
};

StoredSecret readSealedValue(const sys::SettingsStore& store, const std::string& section, const std::string& name,
                             PasswordVault* vault);
// An empty secret clears the value. A secret that cannot be sealed is not
// stored at all (the value is cleared) and the result is false.
bool writeSealedValue(sys::SettingsStore& store, const std::string& section, const std::string& name,
                      const std::string& secret, PasswordVault* vault);

}  // namespace mail
