// The recorder's entry point: one instance per user session. A later start
// hands its arguments to the running recorder and ends.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "recorder/recorder_window.h"
#include "sys/command_line_args.h"
#include "sys/win32/owned_handle.h"
#include "ui/text.h"

namespace {

constexpr wchar_t kRunMutex[] = L"RezaraRunMutex";

std::vector<std::string> programArguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) result.push_back(ui::narrow(arguments[i]));
  LocalFree(arguments);
  return result;
}

// The running recorder: a top-level dialog with the recorder's title.
HWND findRunningRecorder() { return FindWindowW(L"#32770", recorder::RecorderWindow::kTitle); }

void handOver(HWND running, const std::vector<std::string>& arguments) {
  std::vector<uint8_t> record = sys::buildHandOverRecord(arguments);
  COPYDATASTRUCT data{};
  data.cbData = static_cast<DWORD>(record.size());
  data.lpData = record.data();
  DWORD process = 0;
  GetWindowThreadProcessId(running, &process);
  AllowSetForegroundWindow(process);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 30000, &result);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  std::vector<std::string> arguments = programArguments();

  // The look-up and the window's creation happen under the mutex, so that two
  // starts at once never make two recorders.
  sys::win32::OwnedHandle mutex(CreateMutexW(nullptr, FALSE, kRunMutex));
  if (mutex) WaitForSingleObject(mutex.get(), 30000);
  auto releaseMutex = [&] {
    if (mutex) {
      ReleaseMutex(mutex.get());
      mutex.reset();
    }
  };
  if (HWND running = findRunningRecorder()) {
    handOver(running, arguments);
    releaseMutex();
    return 0;
  }

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  int exitCode = 0;
  {
    recorder::RecorderWindow window(instance, arguments);
    if (!window.create(showCommand)) {
      releaseMutex();
      CoUninitialize();
      return 1;
    }
    releaseMutex();
    exitCode = window.runMessageLoop();
  }
  CoUninitialize();
  return exitCode;
}
