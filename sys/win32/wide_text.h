#pragma once
// UTF-8 <-> UTF-16 at the Win32 boundary, for the system layer and the
// window library above it, and registry text reads.

#include <windows.h>

#include <string>

#include "sys/win32/owned_handle.h"

namespace sys::win32 {

// Malformed input becomes U+FFFD rather than being dropped.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);
std::string narrow(const wchar_t* text, size_t length);

// The text of a REG_SZ or REG_EXPAND_SZ value (unexpanded); false when the
// value is missing or of another type.
bool readRegistryText(HKEY root, const std::wstring& key, const std::wstring& name,
                      std::wstring& text);

}  // namespace sys::win32
