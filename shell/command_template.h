#pragma once
// Command lines built from templates that other programs registered: the
// argument replaces the template's "%s" as plain text, never through a
// printf format, so a '%' anywhere in a template or a path is just a '%'.

#include <string>

namespace shell {

// The path in double quotes when it holds a blank or a tab and is not
// quoted already; otherwise unchanged.
std::string quotedIfNeeded(const std::string& path);
// The template with its first "%s" replaced by argument; a template without
// one is returned unchanged.
std::string fillTemplate(const std::string& commandTemplate, const std::string& argument);
// The same for a file path: in double quotes unless the template already puts
// them around its "%s", so that a path with blanks stays one argument. An
// empty path is put in as it is.
std::string fillTemplateWithPath(const std::string& commandTemplate, const std::string& path);

}  // namespace shell
