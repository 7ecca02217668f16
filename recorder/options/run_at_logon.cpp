#include "recorder/options/run_at_logon.h"

#include <windows.h>

#include "recorder/model/recorder_settings.h"
#include "ui/text.h"

namespace recorder {

namespace {

constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

bool runsAtLogon() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const bool present =
      RegQueryValueExW(key, ui::widen(kRunAtLogonValue).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return present;
}

bool setRunAtLogon(bool on, const std::string& programPath) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const std::wstring name = ui::widen(kRunAtLogonValue);
  LONG result;
  if (on) {
    const std::wstring command = ui::widen(runAtLogonCommand(programPath));
    result = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  } else {
    result = RegDeleteValueW(key, name.c_str());
    if (result == ERROR_FILE_NOT_FOUND) result = ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace recorder
