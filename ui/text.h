#pragma once
// Text at the Win32 boundary: the programs keep UTF-8 in std::string, the
// wide Win32 calls want UTF-16.

#include <windows.h>

#include <string>

#include "sys/win32/wide_text.h"

namespace ui {

// The system layer's conversions, under the names the window code uses.
using sys::win32::narrow;
using sys::win32::widen;

// printf into a std::string, whatever the length of the result.
std::string formatText(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// MessageBoxW with UTF-8 text; returns the button chosen (IDOK, IDYES, ...).
int showMessage(HWND owner, const std::string& text, const std::string& caption, UINT flags);

}  // namespace ui
