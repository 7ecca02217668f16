#include "componentsetup/install_location.h"

#include "componentsetup/registry_text.h"

namespace componentsetup {

namespace {

constexpr const wchar_t* kDefaultProgramFiles = L"C:\\Program Files";

std::wstring programFilesFolder() {
  std::wstring folder =
      readRegistryText(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir");
  return folder.empty() ? kDefaultProgramFiles : folder;
}

std::wstring userAppDataFolder() {
  return readRegistryText(HKEY_CURRENT_USER,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"AppData");
}

// base\Zedirad, base\Zedirad\Components and the component's own folder, one
// level at a time; folders that exist already are fine. A level that cannot
// be made shows up in the write test that follows.
std::wstring createComponentFolder(std::wstring base, const std::wstring& componentName) {
  while (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
  std::wstring folder = base;
  for (const std::wstring& level : {std::wstring(L"Zedirad"), std::wstring(L"Components"), componentName}) {
    folder += L"\\" + level;
    CreateDirectoryW(folder.c_str(), nullptr);
  }
  return folder;
}

}  // namespace

bool folderIsWritable(const std::wstring& folder) {
  std::wstring probe = folder + L"\\__wt";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return DeleteFileW(probe.c_str()) != 0;
}

bool chooseInstallLocation(const std::wstring& componentName, InstallLocation& location) {
  location.folder = createComponentFolder(programFilesFolder(), componentName);
  location.hive = HKEY_LOCAL_MACHINE;
  if (folderIsWritable(location.folder)) return true;

  std::wstring appData = userAppDataFolder();
  if (appData.empty()) return false;
  location.folder = createComponentFolder(appData, componentName);
  location.hive = HKEY_CURRENT_USER;
  return folderIsWritable(location.folder);
}

}  // namespace componentsetup
