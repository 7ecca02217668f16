#include "componentsetup/registry_text.h"

#include <vector>

namespace componentsetup {

namespace {

class KeyHolder {
 public:
  ~KeyHolder() {
    if (m_key) RegCloseKey(m_key);
  }
  HKEY get() const { return m_key; }
  HKEY* receive() { return &m_key; }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

std::wstring readRegistryText(HKEY hive, const std::wstring& key, const std::wstring& name) {
  KeyHolder opened;
  if (RegOpenKeyExW(hive, key.c_str(), 0, KEY_QUERY_VALUE, opened.receive()) != ERROR_SUCCESS) return {};
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                       &bytes) != ERROR_SUCCESS)
    return {};
  // The stored text may or may not end in a null.
  return std::wstring(text.data());
}

bool writeRegistryTexts(HKEY hive, const std::wstring& key, std::initializer_list<RegistryValue> values) {
  KeyHolder opened;
  if (RegCreateKeyExW(hive, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                      opened.receive(), nullptr) != ERROR_SUCCESS)
    return false;
  for (const RegistryValue& value : values) {
    // The stored size counts the terminating null.
    DWORD bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(opened.get(), value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                       bytes) != ERROR_SUCCESS)
      return false;
  }
  return true;
}

}  // namespace componentsetup
