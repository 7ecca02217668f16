#include "sys/folders.h"

namespace sys {

namespace {

constexpr const char* kSeparators = "\\/";

size_t lastSeparator(const std::string& path) { return path.find_last_of(kSeparators); }

}  // namespace

std::string fileNameOf(const std::string& path) {
  size_t separator = lastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string folderOf(const std::string& path) {
  size_t separator = lastSeparator(path);
  if (separator == std::string::npos) return {};
  // Without its separator a root would name something else: "" is no folder
  // at all and "C:" is the current folder of drive C, not its root.
  bool root = separator == 0 || (separator == 2 && path[1] == ':');
  return path.substr(0, root ? separator + 1 : separator);
}

}  // namespace sys
