#pragma once
// The editor's registration with the shell as a whole: its verbs on every
// sound file type, the start templates other programs read, and undoing all
// of it, associations included, when the editor is uninstalled.

#include <string>

#include "shell/file_associations.h"

namespace shell {

// Machine-wide settings of the editor, where other programs find its templates.
constexpr const char* kEditorSettingsKey = "Software\\Zedirad\\Razavo\\Settings";
constexpr const char* kRunEditValue = "RunEdit";
constexpr const char* kRunLoadValue = "RunLoad";

// "<program>" "%s" -runedit: one file name, quoted by the template.
std::string runEditTemplate(const std::string& programPath);
// "<program>" %s -runedit: for callers that pass several quoted names.
std::string runLoadTemplate(const std::string& programPath);
// The verbs' commands; the shell adds the file's name in quotes.
std::string editVerbCommand(const std::string& programPath);
std::string batchVerbCommand(const std::string& programPath);

// "-install": both verbs on every sound type, the edit verb on projects,
// and the start templates. False when something could not be written.
bool installShellIntegration(sys::Registry& registry, FileAssociations& associations,
                             const std::string& programPath);
// "-uninstall": the templates, the verbs and every association with this
// program go, and what the associations replaced comes back.
bool uninstallShellIntegration(sys::Registry& registry, FileAssociations& associations,
                               const std::string& programPath);
// The Explorer menu entry of the options: the edit verb on every sound type,
// or on none.
bool setExplorerMenu(FileAssociations& associations, const std::string& programPath, bool on);

}  // namespace shell
