#include "sys/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace sys {

bool folderExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool createFolder(const std::string& path) {
  if (path.empty()) return false;
  if (folderExists(path)) return true;
  size_t cut = path.find_last_of('/');
  if (cut != std::string::npos && cut > 0) createFolder(path.substr(0, cut));
  return mkdir(path.c_str(), 0755) == 0 || folderExists(path);
}

bool deleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool replaceFile(const std::string& source, const std::string& target) {
  if (source.empty() || target.empty() || ::rename(source.c_str(), target.c_str()) != 0) return false;
  // The rename is durable only once the folder's entry is on disk.
  std::string folder = folderOf(target);
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

bool removeEmptyFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

std::vector<std::string> listFiles(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (fileExists(joinPath(folder, name))) names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

int64_t freeDiskSpace(const std::string& path) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return -1;
  return static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
}

std::string userAppDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return data;
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share";
  return {};
}

std::string tempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace sys

namespace sys {

std::string createUniqueFolder(const std::string& parent, const std::string& prefix) {
  // mkdtemp makes the folder exclusively, readable by this user only.
  std::string pattern = joinPath(parent, prefix + "XXXXXX");
  if (!mkdtemp(pattern.data())) return {};
  return pattern;
}

}  // namespace sys
