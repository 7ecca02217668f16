#include "shell/file_types.h"

namespace shell {

std::string defaultClassName(const std::string& extension) {
  std::string name = !extension.empty() && extension[0] == '.' ? extension.substr(1) : extension;
  return name + "file";
}

std::string classNameOf(const sys::Registry& registry, const std::string& extension) {
  std::string name = registry.readText(sys::RegistryHive::ClassesRoot, extension, "");
  return name.empty() ? defaultClassName(extension) : name;
}

}  // namespace shell
