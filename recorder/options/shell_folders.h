#pragma once
// Where the recorder's recordings go when no folder was chosen: the user's
// documents folder (or application-data folder) as the shell records it.

#include <string>

namespace recorder {

// formDefaultOutputFolder over the current user's "Shell Folders" values
// "Personal" and "AppData", then programData; the folder is created.
std::string defaultOutputFolder(const std::string& programData);

}  // namespace recorder
