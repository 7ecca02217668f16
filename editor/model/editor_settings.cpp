#include "editor/model/editor_settings.h"

#include <climits>

#include "sys/folders.h"

int EditorSettings::number(const char* section, const char* name, int fallback) const {
  long long value = m_store.readNumber(section, name, fallback);
  // A value too large for an int is as unusable as one that is not a number.
  return value < INT_MIN || value > INT_MAX ? fallback : static_cast<int>(value);
}

std::string chooseWorkingFolder(const EditorSettings& settings, const std::string& userDataFolder) {
  if (settings.useDefaultWorkingDir()) return userDataFolder;
  std::string chosen = settings.workingFolder();
  return chosen.empty() ? userDataFolder : chosen;
}

FolderCheck checkWorkingFolder(const std::string& folder) {
  if (folder.find_first_not_of(" \t") == std::string::npos) return FolderCheck::Empty;
  return sys::folderExists(folder) ? FolderCheck::Ok : FolderCheck::Missing;
}
