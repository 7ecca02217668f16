#include "shell/burn_list.h"

#include "shell/command_template.h"

namespace shell {

std::string burnListText(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += path + "\r\n";
  return text;
}

std::string burnArgument(DiscKind kind, const std::string& listPath) {
  return std::string("-type ") + (kind == DiscKind::Audio ? "audio" : "data") + " -list " + quotedIfNeeded(listPath);
}

}  // namespace shell
