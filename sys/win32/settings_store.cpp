// The settings store on Windows: one registry key per section under the
// program's root in the current user's hive, every value a REG_SZ string.

#include "sys/settings_store.h"

#include "sys/win32/wide_text.h"

namespace sys {

namespace {

class RegistrySettingsStore final : public SettingsStore {
 public:
  explicit RegistrySettingsStore(std::string root) : m_root(std::move(root)) {}

  std::string read(const std::string& section, const std::string& name,
                   const std::string& fallback) const override {
    std::wstring text;
    if (!win32::readRegistryText(HKEY_CURRENT_USER, keyOf(section), win32::widen(name), text) ||
        text.empty())
      return fallback;
    return win32::narrow(text);
  }

  bool write(const std::string& section, const std::string& name, const std::string& value) override {
    win32::OwnedKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyOf(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.receive(), nullptr) != ERROR_SUCCESS)
      return false;
    std::wstring text = win32::widen(value);
    // The stored size counts the terminating null.
    DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), win32::widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
  }

  bool remove(const std::string& section, const std::string& name) override {
    win32::OwnedKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyOf(section).c_str(), 0, KEY_SET_VALUE, key.receive()) !=
        ERROR_SUCCESS)
      return false;
    return RegDeleteValueW(key.get(), win32::widen(name).c_str()) == ERROR_SUCCESS;
  }

 private:
  std::wstring keyOf(const std::string& section) const {
    return win32::widen(section.empty() ? m_root : m_root + "\\" + section);
  }

  std::string m_root;
};

}  // namespace

std::unique_ptr<SettingsStore> openProgramSettings(const std::string& root) {
  return std::make_unique<RegistrySettingsStore>(root);
}

std::string readMachineThenUser(const std::string& key, const std::string& name) {
  std::wstring wideKey = win32::widen(key);
  std::wstring wideName = win32::widen(name);
  std::wstring text;
  if (win32::readRegistryText(HKEY_LOCAL_MACHINE, wideKey, wideName, text) && !text.empty())
    return win32::narrow(text);
  if (win32::readRegistryText(HKEY_CURRENT_USER, wideKey, wideName, text)) return win32::narrow(text);
  return {};
}

}  // namespace sys
