#include "shell/shell_registration.h"

#include "shell/command_template.h"
#include "shell/file_types.h"

namespace shell {

namespace {

constexpr auto kMachine = sys::RegistryHive::LocalMachine;

}  // namespace

std::string runEditTemplate(const std::string& programPath) { return "\"" + programPath + "\" \"%s\" -runedit"; }
std::string runLoadTemplate(const std::string& programPath) { return "\"" + programPath + "\" %s -runedit"; }

// A program path with a blank is quoted, or the shell would try to start
// whatever the path's first word names.
std::string editVerbCommand(const std::string& programPath) { return quotedIfNeeded(programPath); }
std::string batchVerbCommand(const std::string& programPath) { return quotedIfNeeded(programPath) + " -batch"; }

bool installShellIntegration(sys::Registry& registry, FileAssociations& associations,
                             const std::string& programPath) {
  bool ok = true;
  for (const char* extension : kSoundExtensions) {
    ok = associations.addVerb(extension, kEditVerb, editVerbCommand(programPath)) && ok;
    ok = associations.addVerb(extension, kBatchVerb, batchVerbCommand(programPath)) && ok;
  }
  ok = associations.addVerb(kProjectExtension, kEditVerb, editVerbCommand(programPath)) && ok;
  ok = registry.writeText(kMachine, kEditorSettingsKey, kRunEditValue, runEditTemplate(programPath)) && ok;
  ok = registry.writeText(kMachine, kEditorSettingsKey, kRunLoadValue, runLoadTemplate(programPath)) && ok;
  return ok;
}

bool uninstallShellIntegration(sys::Registry& registry, FileAssociations& associations,
                               const std::string& programPath) {
  bool ok = registry.deleteValue(kMachine, kEditorSettingsKey, kRunEditValue);
  ok = registry.deleteValue(kMachine, kEditorSettingsKey, kRunLoadValue) && ok;
  // The settings keys go only when nothing else is kept in them.
  for (const char* key : {kEditorSettingsKey, "Software\\Zedirad\\Razavo", "Software\\Zedirad"})
    registry.deleteEmptyKey(kMachine, key);
  for (const char* extension : kSoundExtensions) {
    ok = associations.removeVerb(extension, kEditVerb) && ok;
    ok = associations.removeVerb(extension, kBatchVerb) && ok;
    // Files must not be left opening with a program that is gone.
    if (associations.isAssociated(extension, programPath))
      ok = associations.removeAssociation(extension, programPath) && ok;
  }
  ok = associations.removeVerb(kProjectExtension, kEditVerb) && ok;
  return ok;
}

bool setExplorerMenu(FileAssociations& associations, const std::string& programPath, bool on) {
  bool ok = true;
  for (const char* extension : kSoundExtensions)
    ok = (on ? associations.addVerb(extension, kEditVerb, editVerbCommand(programPath))
             : associations.removeVerb(extension, kEditVerb)) &&
         ok;
  return ok;
}

}  // namespace shell
