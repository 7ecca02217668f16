#include "mail/sealed_value.h"

#include <cstdint>

#include "mail/base64.h"
#include "mail/mail_settings.h"

namespace mail {
namespace {

std::optional<std::string> base64Decode(const std::string& text) {
  std::string out;
  uint32_t group = 0;
  int bits = 0;
  for (char c : text) {
    int value;
    if (c >= 'A' && c <= 'Z') value = c - 'A';
    else if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
    else if (c >= '0' && c <= '9') value = c - '0' + 52;
    else if (c == '+') value = 62;
    else if (c == '/') value = 63;
    else if (c == '=') break;
    else return std::nullopt;
    group = (group << 6) | uint32_t(value);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += char((group >> bits) & 0xFF);
    }
  }
  return out;
}

}  // namespace

StoredSecret readSealedValue(const sys::SettingsStore& store, const std::string& section, const std::string& name,
                             PasswordVault* vault) {
  StoredSecret result;
  std::string stored = store.read(section, name, {});
  if (stored.rfind(kSealedPrefix, 0) == 0) {
    std::optional<std::string> sealed = base64Decode(stored.substr(std::string(kSealedPrefix).size()));
    std::optional<std::string> clear = (sealed && vault) ? vault->unseal(*sealed) : std::nullopt;
    result.secret = clear.value_or(std::string());
  } else {
    result.secret = stored;
    result.wasClear = !stored.empty();
  }
  return result;
}

bool writeSealedValue(sys::SettingsStore& store, const std::string& section, const std::string& name,
                      const std::string& secret, PasswordVault* vault) {
  if (secret.empty()) return store.write(section, name, {});
  std::optional<std::string> sealed = vault ? vault->seal(secret) : std::nullopt;
  // Never left in clear: a secret that cannot be sealed is not stored.
  if (!sealed) {
    store.write(section, name, {});
    return false;
  }
  return store.write(section, name, kSealedPrefix + base64Encode(*sealed));
}

}  // namespace mail
