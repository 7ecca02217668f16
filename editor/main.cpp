// The editor's entry point: one instance per user session. A second start
// hands its arguments to the running editor; a start with arguments runs
// again as "... -block" so that the mutex is held while the files open.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "editor/frame.h"
#include "editor/model/command_line.h"
#include "editor/shell_integration.h"
#include "sys/win32/owned_handle.h"
#include "ui/program_instance.h"
#include "ui/text.h"

namespace {

constexpr wchar_t kRunMutex[] = L"RazavoRunMutex";
constexpr wchar_t kProductName[] = L"Razavo";

void useProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  SetCurrentDirectoryW(folder.c_str());
}

HWND findRunningEditor() {
  HWND window = FindWindowW(L"LMMWC", nullptr);
  while (window) {
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (wcsncmp(title, kProductName, wcslen(kProductName)) == 0) return window;
    window = FindWindowExW(nullptr, window, L"LMMWC", nullptr);
  }
  return nullptr;
}

bool restartBlocked() {
  std::wstring commandLine = GetCommandLineW();
  commandLine += L" -block";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(0);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  // The restarted editor runs on by itself: nothing of it is kept.
  sys::win32::OwnedHandle thread(process.hThread), child(process.hProcess);
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  useProgramFolder();
  // Every Windows version from 6.0 on runs the editor; none is refused.
  std::vector<std::string> arguments = ui::programArguments();
  // Installing and uninstalling touch only the registry: no window, no instance check.
  if (std::optional<int> setupResult = runSetupSwitch(arguments)) return *setupResult;

  ui::InstanceLock instanceLock(kRunMutex);
  auto releaseMutex = [&] { instanceLock.release(); };

  if (HWND running = findRunningEditor()) {
    ui::handOverArguments(running, arguments);
    releaseMutex();
    return 0;
  }
  if (needsBlockRestart(arguments)) {
    releaseMutex();
    return restartBlocked() ? 0 : 1;
  }

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  int exitCode = 0;
  {
    Frame frame(instance);
    if (!frame.createWindow(showCommand)) {
      releaseMutex();
      CoUninitialize();
      return 1;
    }
    frame.runCommandLine(arguments);
    releaseMutex();
    exitCode = frame.runMessageLoop();
  }
  CoUninitialize();
  return exitCode;
}
