#include "recorder/companions.h"

#include <windows.h>

#include "shell/sibling_program.h"
#include "sys/settings_store.h"
#include "sys/win32/owned_handle.h"
#include "ui/text.h"

namespace recorder {
namespace {

struct KnownCompanion {
  std::string name;
  std::string keyName;
  std::string templateValue;
};

// The siblings the shell integration knows, with the names the menu shows.
std::vector<KnownCompanion> knownCompanions() {
  shell::SiblingProgram editor = shell::editorProgram();
  shell::SiblingProgram burner = shell::burnerProgram();
  return {{editor.displayName + " Audio Editor", editor.settingsKey, editor.templateValue},
          {burner.displayName + " CD Burner", burner.settingsKey, burner.templateValue},
          {"Zidede Tone Generator", shell::kToneGeneratorKey, shell::kToneGeneratorValue}};
}

}  // namespace

std::string programOfTemplate(const std::string& commandTemplate) {
  size_t start = commandTemplate.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  if (commandTemplate[start] == '"') {
    size_t end = commandTemplate.find('"', start + 1);
    return end == std::string::npos ? std::string() : commandTemplate.substr(start + 1, end - start - 1);
  }
  size_t end = commandTemplate.find_first_of(" \t", start);
  return commandTemplate.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<Companion> installedCompanions() {
  std::vector<Companion> found;
  for (const KnownCompanion& companion : knownCompanions()) {
    std::string program = programOfTemplate(
        sys::readMachineThenUser(shell::siblingSettingsKey(companion.keyName), companion.templateValue));
    if (program.empty()) continue;
    if (GetFileAttributesW(ui::widen(program).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    found.push_back({companion.name, program});
  }
  return found;
}

bool launchCompanion(const std::string& program) {
  std::wstring commandLine = L"\"" + ui::widen(program) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(ui::widen(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  sys::win32::OwnedHandle thread(process.hThread), child(process.hProcess);
  return true;
}

}  // namespace recorder
