#pragma once
// Environment variables of this process, which child processes inherit.

#include <optional>
#include <string>

namespace sys {

// The value, or nothing when the variable is not set (an empty value is set).
std::optional<std::string> environmentValue(const std::string& name);
// Sets the variable, or removes it when value holds nothing.
bool setEnvironmentValue(const std::string& name, const std::optional<std::string>& value);

}  // namespace sys
