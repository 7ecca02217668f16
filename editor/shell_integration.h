#pragma once
// The editor's registration with the shell on Windows: its program path, the
// associations over the system's registry (telling the shell when they
// changed), and the "-install" and "-uninstall" switches.

#include <optional>
#include <string>
#include <vector>

#include "shell/file_associations.h"

// The full path of razavo.exe as it runs.
std::string editorProgramPath();
// Associations in the system's registry that tell the shell of each change.
shell::FileAssociations systemAssociations();
// For a start whose first argument is "-install" or "-uninstall": does that
// and gives the exit code (0 done, 1 something could not be written).
// Nothing for any other start.
std::optional<int> runSetupSwitch(const std::vector<std::string>& arguments);
