#include "ui/sibling_start.h"

#include <shellapi.h>

#include <vector>

#include "sys/settings_store.h"
#include "sys/win32/owned_handle.h"
#include "ui/text.h"

namespace ui {

namespace {

class WindowSiblingHost : public shell::SiblingHost {
 public:
  WindowSiblingHost(HWND owner, std::string title, const ComponentDownloadSettings& downloads)
      : m_owner(owner), m_title(std::move(title)), m_downloads(downloads) {}

  std::string readTemplate(const std::string& key, const std::string& value) override {
    return sys::readMachineThenUser(key, value);
  }

  int install(const std::string& installerName) override {
    return static_cast<int>(m_dialog.run(m_owner, m_title, "", [&](ProgressDialog& dialog) {
      return installComponentOnDemand(installerName, dialog, m_downloads);
    }));
  }

  bool pause(int milliseconds) override {
    JobResult result = m_dialog.run(m_owner, m_title, "", [&](ProgressDialog& dialog) {
      ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
      while (GetTickCount64() < end) {
        if (dialog.cancelled()) return JobResult::Cancelled;
        Sleep(10);
      }
      return JobResult::Done;
    });
    return result == JobResult::Done;
  }

  bool askYesNo(const std::string& question, const std::string& caption) override {
    return showMessage(m_owner, question, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
  }

  void openWebPage(const std::string& page) override { openMakerPage(m_owner, m_downloads.hosts, page); }

  int run(const std::string& commandLine, bool wait, int waitMs, const std::string& line1,
          const std::string& line2) override {
    std::wstring wide = widen(commandLine);
    std::vector<wchar_t> mutableLine(wide.begin(), wide.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &created)) {
      showMessage(m_owner, formatText("Cannot start \"%s\".", commandLine.c_str()), "Error", MB_OK | MB_ICONERROR);
      return 2;
    }
    sys::win32::OwnedHandle thread(created.hThread);
    sys::win32::OwnedHandle process(created.hProcess);
    if (!wait) return 0;
    // Cancel ends the wait, never the program the user is working in.
    JobResult result = m_dialog.run(m_owner, m_title, line1, [&](ProgressDialog& dialog) {
      dialog.setLine(2, line2);
      JobResult waited = dialog.waitFor(process.get(), static_cast<DWORD>(waitMs));
      return waited == JobResult::Failed ? JobResult::Done : waited;
    });
    return static_cast<int>(result);
  }

 private:
  HWND m_owner;
  std::string m_title;
  const ComponentDownloadSettings& m_downloads;
  ProgressDialog m_dialog;
};

}  // namespace

void openMakerPage(HWND owner, const net::DownloadHosts& hosts, const std::string& page) {
  std::string url = "https://" + hosts.second + "/" + page;
  ShellExecuteW(owner, L"open", widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

JobResult startSiblingProgram(HWND owner, const shell::SiblingProgram& sibling, const std::string& argument,
                              const std::string& progressTitle, const ComponentDownloadSettings& downloads) {
  WindowSiblingHost host(owner, progressTitle, downloads);
  return static_cast<JobResult>(shell::startSibling(sibling, argument, host));
}

JobResult startToneGenerator(HWND owner, const ComponentDownloadSettings& downloads) {
  WindowSiblingHost host(owner, "Zidede Generator", downloads);
  return static_cast<JobResult>(shell::startToneGenerator(host));
}

}  // namespace ui
