#include "formats/extension.h"

#include <cctype>

#include "sys/folders.h"

std::string lowerExtension(const std::string& path) {
  // Only the file's own name counts: a dot in a folder's name is no extension.
  std::string name = sys::fileNameOf(path);
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string extension = name.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}
