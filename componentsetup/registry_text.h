#pragma once
// Registry values of the installer, as wide text.

#include <windows.h>

#include <string>

namespace componentsetup {

// The REG_SZ or REG_EXPAND_SZ value (unexpanded), empty when missing.
std::wstring readRegistryText(HKEY hive, const std::wstring& key, const std::wstring& name);

// Creates or opens key and sets each (name, text) pair; false when the key
// cannot be created or any value cannot be set.
struct RegistryValue {
  const wchar_t* name;
  std::wstring text;
};
bool writeRegistryTexts(HKEY hive, const std::wstring& key, std::initializer_list<RegistryValue> values);

}  // namespace componentsetup
