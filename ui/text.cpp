#include "ui/text.h"

#include <cstdarg>
#include <cstdio>

namespace ui {

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
