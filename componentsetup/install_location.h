#pragma once
// Where a component goes: the program-files folder when it can be written,
// else the user's application-data folder, and the hive that matches.

#include <windows.h>

#include <string>

namespace componentsetup {

struct InstallLocation {
  std::wstring folder;  // base\Zedirad\Components\<name>, created
  HKEY hive = HKEY_LOCAL_MACHINE;
};

// Creates the component folder under the program-files folder, or, when that
// folder cannot be written, under the user's application-data folder.
// Returns false when neither gives a writable folder.
bool chooseInstallLocation(const std::wstring& componentName, InstallLocation& location);

// True when a file can be created (and is then deleted) in folder.
bool folderIsWritable(const std::wstring& folder);

}  // namespace componentsetup
