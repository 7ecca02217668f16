#include "formats/extension.h"

#include <cctype>

std::string lowerExtension(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t separator = path.find_last_of("/\\");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}
