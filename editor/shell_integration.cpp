#include "editor/shell_integration.h"

#include <windows.h>
#include <shlobj.h>

#include "editor/model/command_line.h"
#include "shell/shell_registration.h"
#include "ui/text.h"

std::string editorProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return ui::narrow(path.substr(0, length));
    path.resize(path.size() * 2);
  }
}

shell::FileAssociations systemAssociations() {
  return shell::FileAssociations(sys::systemRegistry(),
                                 [] { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST | SHCNF_FLUSH, nullptr, nullptr); });
}

std::optional<int> runSetupSwitch(const std::vector<std::string>& arguments) {
  SetupSwitch setup = setupSwitchOf(arguments);
  if (setup == SetupSwitch::None) return std::nullopt;
  bool install = setup == SetupSwitch::Install;
  std::string program = editorProgramPath();
  shell::FileAssociations associations = systemAssociations();
  bool ok = !program.empty() &&
            (install ? shell::installShellIntegration(sys::systemRegistry(), associations, program)
                     : shell::uninstallShellIntegration(sys::systemRegistry(), associations, program));
  if (!ok)
    ui::showMessage(nullptr,
                    install ? "Razavo could not register itself with Windows. Please run the setup as an administrator."
                            : "Razavo could not remove all of its registrations from Windows. Please run the "
                              "uninstallation as an administrator.",
                    "Razavo", MB_OK | MB_ICONERROR);
  return ok ? 0 : 1;
}
