#include "ui/component_download.h"

#include <vector>

#include "net/download_file.h"
#include "net/install_on_demand.h"
#include "sys/win32/owned_handle.h"
#include "ui/text.h"
#include "ui/wininet_client.h"

namespace ui {

namespace {

// Starts the installer as a normal, visible program (its own messages are
// its business) and waits for it inside the dialog, so Cancel still works.
class InstallerProcess : public net::InstallerRunner {
 public:
  explicit InstallerProcess(ProgressDialog& dialog) : m_dialog(dialog) {}

  int run(const std::string& path, net::DownloadProgress&) override {
    std::wstring commandLine = L"\"" + widen(path) + L"\"";
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(widen(path).c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &created))
      return net::kFailed;
    sys::win32::OwnedHandle thread(created.hThread);
    sys::win32::OwnedHandle process(created.hProcess);
    // JobResult has the download results' values: 0 done, 1 cancelled, 2 failed.
    return static_cast<int>(m_dialog.waitFor(process.get(), INFINITE));
  }

 private:
  ProgressDialog& m_dialog;
};

}  // namespace

JobResult installComponentOnDemand(const std::string& name, ProgressDialog& dialog,
                             const ComponentDownloadSettings& settings) {
  WinInetClient client(settings.agent);
  InstallerProcess runner(dialog);
  DialogProgress progress(dialog);
  net::ComponentSource source{client, runner, settings.hosts, settings.installers, nullptr};
  return static_cast<JobResult>(net::installComponentOnDemand(name, progress, source));
}

JobResult downloadFile(const std::string& url, const std::string& localPath, ProgressDialog& dialog,
                 const std::string& agent) {
  WinInetClient client(agent);
  DialogProgress progress(dialog);
  return static_cast<JobResult>(net::downloadFile(client, url, localPath, progress));
}

JobResult installComponentWithProgress(HWND owner, const std::string& component, const std::string& program,
                                       const ComponentDownloadSettings& settings) {
  ProgressDialog progress;
  JobResult result = progress.run(owner, "Download", net::kDownloadingText, [&](ProgressDialog& dialog) {
    return installComponentOnDemand(component, dialog, settings);
  });
  if (result == JobResult::Cancelled) return result;
  if (result == JobResult::Done && !net::componentPath(component).empty()) return JobResult::Done;
  showMessage(owner,
              program + " cannot install the required install-on-demand component \"" + component +
                  "\". Please download it from the components page of our web site and install it by hand.",
              "Error", MB_OK | MB_ICONERROR);
  return JobResult::Failed;
}

}  // namespace ui
