#include "ui/text.h"

#include <climits>
#include <cstdarg>
#include <cstdio>

namespace ui {

std::wstring widen(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) return std::wstring();
  int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string narrow(const wchar_t* text, size_t length) {
  if (!text || length == 0 || length > INT_MAX) return std::string();
  int size = static_cast<int>(length);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string narrowed(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, size, narrowed.data(), bytes, nullptr, nullptr);
  return narrowed;
}

std::string narrow(const std::wstring& text) { return narrow(text.data(), text.size()); }

std::string formatText(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);
  int length = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length));
    // The buffer holds length + 1 characters: the string's own terminator.
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

int showMessage(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  return MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), flags);
}

}  // namespace ui
