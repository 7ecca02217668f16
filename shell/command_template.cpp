#include "shell/command_template.h"

namespace shell {

std::string quotedIfNeeded(const std::string& path) {
  bool quoted = path.size() >= 2 && path.front() == '"' && path.back() == '"';
  if (quoted || path.find_first_of(" \t") == std::string::npos) return path;
  return "\"" + path + "\"";
}

std::string fillTemplate(const std::string& commandTemplate, const std::string& argument) {
  size_t at = commandTemplate.find("%s");
  if (at == std::string::npos) return commandTemplate;
  return commandTemplate.substr(0, at) + argument + commandTemplate.substr(at + 2);
}

std::string fillTemplateWithPath(const std::string& commandTemplate, const std::string& path) {
  const size_t at = commandTemplate.find("%s");
  const bool quoted = at != std::string::npos && at > 0 && commandTemplate[at - 1] == '"' &&
                      at + 2 < commandTemplate.size() && commandTemplate[at + 2] == '"';
  return fillTemplate(commandTemplate, quoted || path.empty() ? path : "\"" + path + "\"");
}

}  // namespace shell
