// Passwords sealed for the current user with the data protection API.

#include <windows.h>
#include <wincrypt.h>

#include "mail/mail_settings.h"

namespace mail {
namespace {

// Mixed into every seal, so that another program's sealed data is not ours.
constexpr char kEntropy[] = "Zedirad SMTP password";

std::optional<std::string> run(bool seal, const std::string& input) {
  DATA_BLOB in{DWORD(input.size()), reinterpret_cast<BYTE*>(const_cast<char*>(input.data()))};
  DATA_BLOB entropy{DWORD(sizeof kEntropy - 1), reinterpret_cast<BYTE*>(const_cast<char*>(kEntropy))};
  DATA_BLOB out{};
  BOOL ok = seal ? CryptProtectData(&in, L"SMTP password", &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)
                 : CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out);
  if (!ok) return std::nullopt;
  std::string result(reinterpret_cast<const char*>(out.pbData), out.cbData);
  SecureZeroMemory(out.pbData, out.cbData);
  LocalFree(out.pbData);
  return result;
}

class DpapiVault : public PasswordVault {
 public:
  std::optional<std::string> seal(const std::string& secret) override { return run(true, secret); }
  std::optional<std::string> unseal(const std::string& sealed) override { return run(false, sealed); }
};

}  // namespace

std::unique_ptr<PasswordVault> makeSystemPasswordVault() { return std::make_unique<DpapiVault>(); }

}  // namespace mail
