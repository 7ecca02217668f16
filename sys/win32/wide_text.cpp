#include "sys/win32/wide_text.h"

#include <climits>
#include <vector>

namespace sys::win32 {

std::wstring widen(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string narrow(const wchar_t* text, size_t length) {
  if (!text || length == 0 || length > INT_MAX) return {};
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

std::string narrow(const std::wstring& text) { return narrow(text.data(), text.size()); }

bool readRegistryText(HKEY root, const std::wstring& key, const std::wstring& name,
                      std::wstring& text) {
  OwnedKey opened;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, opened.receive()) != ERROR_SUCCESS)
    return false;
  // The value may change between the size query and the read; try again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    LONG status = RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &bytes);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // Room for a terminator the stored data may lack.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD capacity = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    status = RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &capacity);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    size_t length = capacity / sizeof(wchar_t);
    // Stored strings usually carry their terminator; cut at the first one.
    size_t end = 0;
    while (end < length && buffer[end] != L'\0') ++end;
    text.assign(buffer.data(), end);
    return true;
  }
  return false;
}

}  // namespace sys::win32
