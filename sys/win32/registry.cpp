// The registry of Windows behind the Registry interface. Text values are
// converted between UTF-8 and UTF-16; other types are carried byte for byte.

#include "sys/registry.h"

#include <vector>

#include "sys/win32/wide_text.h"

namespace sys {

namespace {

HKEY rootOf(RegistryHive hive) {
  switch (hive) {
    case RegistryHive::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryHive::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryHive::CurrentUser: return HKEY_CURRENT_USER;
  }
  return HKEY_CURRENT_USER;
}

class WindowsRegistry final : public Registry {
 public:
  std::optional<RegistryValue> readValue(RegistryHive hive, const std::string& key,
                                         const std::string& name) const override {
    win32::OwnedKey opened;
    if (RegOpenKeyExW(rootOf(hive), win32::widen(key).c_str(), 0, KEY_QUERY_VALUE, opened.receive()) !=
        ERROR_SUCCESS)
      return std::nullopt;
    std::wstring wideName = win32::widen(name);
    // The value may change between the size query and the read; try again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0, bytes = 0;
      if (RegQueryValueExW(opened.get(), wideName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
      std::vector<BYTE> buffer(bytes + 2 * sizeof(wchar_t), 0);
      DWORD capacity = bytes;
      LONG status = RegQueryValueExW(opened.get(), wideName.c_str(), nullptr, &type, buffer.data(), &capacity);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS) return std::nullopt;
      RegistryValue value;
      value.type = type;
      if (value.isText()) {
        // Stored strings usually carry their terminator; cut at the first one.
        const wchar_t* text = reinterpret_cast<const wchar_t*>(buffer.data());
        size_t length = capacity / sizeof(wchar_t), end = 0;
        while (end < length && text[end] != L'\0') ++end;
        value.data = win32::narrow(text, end);
      } else {
        value.data.assign(reinterpret_cast<const char*>(buffer.data()), capacity);
      }
      return value;
    }
    return std::nullopt;
  }

  bool writeValue(RegistryHive hive, const std::string& key, const std::string& name,
                  const RegistryValue& value) override {
    win32::OwnedKey opened;
    if (RegCreateKeyExW(rootOf(hive), win32::widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, opened.receive(), nullptr) != ERROR_SUCCESS)
      return false;
    std::wstring wideName = win32::widen(name);
    if (value.isText()) {
      std::wstring text = win32::widen(value.data);
      // The stored size counts the terminating null.
      DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
      return RegSetValueExW(opened.get(), wideName.c_str(), 0, value.type,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
    }
    return RegSetValueExW(opened.get(), wideName.c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  }

  bool deleteValue(RegistryHive hive, const std::string& key, const std::string& name) override {
    win32::OwnedKey opened;
    LONG status = RegOpenKeyExW(rootOf(hive), win32::widen(key).c_str(), 0, KEY_SET_VALUE, opened.receive());
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return false;
    status = RegDeleteValueW(opened.get(), win32::widen(name).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }

  bool keyExists(RegistryHive hive, const std::string& key) const override {
    win32::OwnedKey opened;
    return RegOpenKeyExW(rootOf(hive), win32::widen(key).c_str(), 0, KEY_QUERY_VALUE, opened.receive()) ==
           ERROR_SUCCESS;
  }

  bool deleteEmptyKey(RegistryHive hive, const std::string& key) override {
    std::wstring wideKey = win32::widen(key);
    {
      win32::OwnedKey opened;
      LONG status = RegOpenKeyExW(rootOf(hive), wideKey.c_str(), 0, KEY_QUERY_VALUE, opened.receive());
      if (status == ERROR_FILE_NOT_FOUND) return true;
      if (status != ERROR_SUCCESS) return false;
      DWORD subkeys = 0, values = 0;
      if (RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
          subkeys != 0 || values != 0)
        return false;
    }
    return RegDeleteKeyW(rootOf(hive), wideKey.c_str()) == ERROR_SUCCESS;
  }
};

}  // namespace

Registry& systemRegistry() {
  static WindowsRegistry registry;
  return registry;
}

}  // namespace sys
