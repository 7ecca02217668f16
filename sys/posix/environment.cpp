#include "sys/environment.h"

#include <cstdlib>

namespace sys {

std::optional<std::string> environmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

bool setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
  if (value) return setenv(name.c_str(), value->c_str(), 1) == 0;
  return unsetenv(name.c_str()) == 0;
}

}  // namespace sys
