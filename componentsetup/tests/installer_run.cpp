#include "installer_run.h"

#include <windows.h>

#include <set>

namespace setuptest {

namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK findMessageBox(HWND window, LPARAM parameter) {
  auto* search = static_cast<Search*>(reinterpret_cast<void*>(parameter));
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (owner == search->processId && IsWindowVisible(window) && wcscmp(className, L"#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::wstring windowText(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

// The message text of a message box is the static control 0xFFFF.
constexpr int kMessageTextId = 0xFFFF;

class QuietSwitch {
 public:
  explicit QuietSwitch(const std::optional<std::wstring>& value) {
    wchar_t before[256] = {};
    if (GetEnvironmentVariableW(L"LQUIET", before, 256) > 0) m_before = before;
    SetEnvironmentVariableW(L"LQUIET", value ? value->c_str() : nullptr);
  }
  ~QuietSwitch() { SetEnvironmentVariableW(L"LQUIET", m_before ? m_before->c_str() : nullptr); }

 private:
  std::optional<std::wstring> m_before;
};

}  // namespace

InstallerRun runInstaller(const std::wstring& program, const std::optional<std::wstring>& quiet) {
  InstallerRun run;
  QuietSwitch quietSwitch(quiet);
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &created))
    return run;
  CloseHandle(created.hThread);
  ULONGLONG giveUp = GetTickCount64() + 30000;
  std::set<HWND> answered;
  while (WaitForSingleObject(created.hProcess, 50) == WAIT_TIMEOUT && GetTickCount64() < giveUp) {
    Search search{created.dwProcessId, nullptr};
    EnumWindows(findMessageBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found || answered.count(search.found)) continue;
    HWND text = GetDlgItem(search.found, kMessageTextId);
    ShownMessage shown{windowText(search.found), text ? windowText(text) : L""};
    // A box still being filled in is read again on the next round.
    if (shown.text.empty()) continue;
    run.messages.push_back(shown);
    answered.insert(search.found);
    PostMessageW(search.found, WM_COMMAND, IDOK, 0);
  }
  DWORD code = 0;
  if (WaitForSingleObject(created.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(created.hProcess, &code))
    run.exitCode = static_cast<int>(code);
  else
    TerminateProcess(created.hProcess, 99);
  CloseHandle(created.hProcess);
  return run;
}

}  // namespace setuptest
