// The recorder's entry point: one instance per user session. A later start
// hands its arguments to the running recorder and ends.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "recorder/recorder_window.h"
#include "ui/program_instance.h"

namespace {

constexpr wchar_t kRunMutex[] = L"RezaraRunMutex";

// The running recorder: a top-level dialog with the recorder's title.
HWND findRunningRecorder() { return FindWindowW(L"#32770", recorder::RecorderWindow::kTitle); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  std::vector<std::string> arguments = ui::programArguments();

  ui::InstanceLock instanceLock(kRunMutex);
  if (HWND running = findRunningRecorder()) {
    ui::handOverArguments(running, arguments);
    return 0;
  }

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  int exitCode = 1;
  {
    recorder::RecorderWindow window(instance, arguments);
    const bool created = window.create(showCommand);
    // Later starts find the window from here on.
    instanceLock.release();
    if (created) exitCode = window.runMessageLoop();
  }
  CoUninitialize();
  return exitCode;
}
