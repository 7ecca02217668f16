#pragma once
// The maker's companion programs that the Launch menu offers: each one that
// registered its start template (machine-wide settings first, then the
// user's) is installed, and its program is the template's first word.

#include <string>
#include <vector>

namespace recorder {

struct Companion {
  std::string name;     // as the menu shows it
  std::string program;  // the program's full path
};

std::vector<Companion> installedCompanions();
// The program of a start template: its quoted or first blank-separated word.
std::string programOfTemplate(const std::string& commandTemplate);
// Starts the program with no arguments; false when it could not be started.
bool launchCompanion(const std::string& program);

}  // namespace recorder
