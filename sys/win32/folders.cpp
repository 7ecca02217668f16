#include "sys/folders.h"

#include <shlobj.h>

#include "sys/win32/wide_text.h"

namespace sys {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// "C:" and "C:\" name a drive, not a folder that could be created.
bool isDriveRoot(const std::string& path) {
  return (path.size() == 2 || (path.size() == 3 && isSeparator(path[2]))) && path[1] == ':';
}

std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && isSeparator(path.back()) && !isDriveRoot(path)) path.pop_back();
  return path;
}

DWORD attributesOf(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(win32::widen(path).c_str());
}

std::string expanded(const std::wstring& text) {
  DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) return win32::narrow(text);
  std::wstring result(needed, L'\0');
  DWORD written = ExpandEnvironmentStringsW(text.c_str(), result.data(), needed);
  if (written == 0 || written > needed) return win32::narrow(text);
  result.resize(written - 1);
  return win32::narrow(result);
}

}  // namespace

bool createFolder(const std::string& path) {
  std::string folder = withoutTrailingSeparators(path);
  if (folder.empty()) return false;
  if (folderExists(folder)) return true;
  std::string parent = folderOf(folder);
  // The parent of "\\server\share" is no folder to create; its creation just fails.
  if (!parent.empty() && parent.size() < folder.size() && !isDriveRoot(parent) &&
      !folderExists(parent))
    createFolder(parent);
  CreateDirectoryW(win32::widen(folder).c_str(), nullptr);
  return folderExists(folder);
}

bool folderExists(const std::string& path) {
  DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileExists(const std::string& path) {
  DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool deleteFile(const std::string& path) {
  return !path.empty() && DeleteFileW(win32::widen(path).c_str()) != 0;
}

bool replaceFile(const std::string& source, const std::string& target) {
  if (source.empty() || target.empty()) return false;
  return MoveFileExW(win32::widen(source).c_str(), win32::widen(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeEmptyFolder(const std::string& path) {
  return !path.empty() && RemoveDirectoryW(win32::widen(withoutTrailingSeparators(path)).c_str()) != 0;
}

std::vector<std::string> listFiles(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.empty()) return names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(win32::widen(joinPath(folder, "*")).c_str(), FindExInfoBasic,
                                   &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(win32::narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (isSeparator(folder.back())) return folder + name;
  return folder + "\\" + name;
}

int64_t freeDiskSpace(const std::string& path) {
  // The call wants a folder: for a file, ask about the folder holding it.
  std::string folder = withoutTrailingSeparators(path);
  if (fileExists(folder)) {
    std::string parent = folderOf(folder);
    folder = parent.empty() ? std::string(".") : std::move(parent);
  }
  if (!folderExists(folder) && !isDriveRoot(folder)) return -1;
  if (!isSeparator(folder.back())) folder += "\\";
  ULARGE_INTEGER freeToCaller{};
  if (!GetDiskFreeSpaceExW(win32::widen(folder).c_str(), &freeToCaller, nullptr, nullptr)) return -1;
  return static_cast<int64_t>(freeToCaller.QuadPart);
}

std::string userAppDataFolder() {
  const std::wstring shellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  std::wstring text;
  if (win32::readRegistryText(HKEY_CURRENT_USER, shellFolders, L"AppData", text) && !text.empty())
    return expanded(text);
  if (win32::readRegistryText(HKEY_LOCAL_MACHINE, shellFolders, L"Common AppData", text) && !text.empty())
    return expanded(text);
  wchar_t known[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, known)))
    return win32::narrow(known);
  return {};
}

std::string tempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return {};
  std::string folder = win32::narrow(buffer, length);
  return withoutTrailingSeparators(folder);
}

}  // namespace sys

namespace sys {

std::string createUniqueFolder(const std::string& parent, const std::string& prefix) {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  unsigned long long seed = static_cast<unsigned long long>(counter.QuadPart) ^
                            (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
  // CreateDirectoryW fails on an existing folder, so a name that someone
  // prepared in advance is never taken over.
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    std::string path = joinPath(parent, prefix + std::to_string(seed >> 40));
    if (CreateDirectoryW(win32::widen(path).c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

}  // namespace sys
