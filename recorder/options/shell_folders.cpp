#include "recorder/options/shell_folders.h"

#include <windows.h>

#include "recorder/model/recorder_settings.h"
#include "ui/text.h"

namespace recorder {

namespace {

std::string shellFolder(const wchar_t* name) {
  wchar_t path[MAX_PATH * 2] = {};
  DWORD bytes = sizeof path - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                   RRF_RT_REG_SZ, nullptr, path, &bytes) != ERROR_SUCCESS)
    return "";
  return ui::narrow(path);
}

}  // namespace

std::string defaultOutputFolder(const std::string& programData) {
  return formDefaultOutputFolder(shellFolder(L"Personal"), shellFolder(L"AppData"), programData);
}

}  // namespace recorder
