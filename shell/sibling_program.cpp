#include "shell/sibling_program.h"

#include "shell/command_template.h"

namespace shell {

SiblingProgram burnerProgram() { return {"VuzivoApp", "CopyCD", "burnsetup", "Vuzivo", "burn/index", true}; }
SiblingProgram editorProgram() { return {"Razavo", "RunEdit", "razavosetup", "Razavo", "razavo/index", false, true}; }

std::string siblingSettingsKey(const std::string& keyName) { return "Software\\Zedirad\\" + keyName + "\\Settings"; }

std::string downloadQuestion(const SiblingProgram& sibling) {
  return "The free plugin \"" + sibling.displayName + "\" program is required. Do you want to download it now?";
}

int startSibling(const SiblingProgram& sibling, const std::string& argument, SiblingHost& host) {
  std::string key = siblingSettingsKey(sibling.settingsKey);
  std::string commandTemplate = host.readTemplate(key, sibling.templateValue);
  if (commandTemplate.empty()) {
    int installed = host.install(sibling.installerName);
    if (installed == 1) return 1;
    // An installer may register its program a little after it has ended.
    for (int poll = 0; installed == 0 && commandTemplate.empty() && poll < kRegistrationPolls; ++poll) {
      if (!host.pause(kRegistrationPollMs)) return 1;
      commandTemplate = host.readTemplate(key, sibling.templateValue);
    }
  }
  if (commandTemplate.empty()) {
    if (host.askYesNo(downloadQuestion(sibling), kDownloadCaption)) host.openWebPage(sibling.webPage);
    return 2;
  }
  const std::string commandLine =
      sibling.pathArgument ? fillTemplateWithPath(commandTemplate, argument) : fillTemplate(commandTemplate, argument);
  return host.run(commandLine, sibling.wait, kSiblingWaitMs,
                  "Please wait for " + sibling.displayName, "to close to continue...");
}

int startToneGenerator(SiblingHost& host) {
  std::string commandTemplate = host.readTemplate(siblingSettingsKey(kToneGeneratorKey), kToneGeneratorValue);
  if (commandTemplate.empty()) {
    if (host.askYesNo(kToneGeneratorQuestion, kToneGeneratorCaption)) host.openWebPage(kToneGeneratorPage);
    return 2;
  }
  return host.run(commandTemplate, true, kSiblingWaitMs, "Please close Zidede Generator", "to continue...");
}

}  // namespace shell
