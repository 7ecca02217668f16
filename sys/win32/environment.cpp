#include "sys/environment.h"

#include <vector>

#include "sys/win32/wide_text.h"

namespace sys {

std::optional<std::string> environmentValue(const std::string& name) {
  std::wstring wideName = win32::widen(name);
  SetLastError(ERROR_SUCCESS);
  DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (needed == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::vector<wchar_t> value(needed + 1, L'\0');
  DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return win32::narrow(value.data(), length);
}

bool setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
  std::wstring wideName = win32::widen(name);
  if (!value) return SetEnvironmentVariableW(wideName.c_str(), nullptr) != 0;
  return SetEnvironmentVariableW(wideName.c_str(), win32::widen(*value).c_str()) != 0;
}

}  // namespace sys
