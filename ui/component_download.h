#pragma once
// Download on demand in the programs: the component's installer is fetched
// through the system's internet library inside the progress dialog, checked,
// run and waited for (net/install_on_demand.h has the rules).

#include <string>

#include "net/download_hosts.h"
#include "net/http_client.h"
#include "net/installer_catalog.h"
#include "ui/progress_dialog.h"

namespace ui {

// The progress of a download shown in the progress dialog: its lines, its
// bar and its Cancel.
class DialogProgress : public net::DownloadProgress {
 public:
  explicit DialogProgress(ProgressDialog& dialog) : m_dialog(dialog) {}
  void setLines(const std::string& line1, const std::string& line2) override {
    m_dialog.setLine(1, line1);
    m_dialog.setLine(2, line2);
  }
  void setProgress(int64_t done, int64_t total) override { m_dialog.setProgress(done, total); }
  bool cancelled() override { return m_dialog.cancelled(); }

 private:
  ProgressDialog& m_dialog;
};

struct ComponentDownloadSettings {
  std::string agent;  // the program's title, sent as the user agent
  net::DownloadHosts hosts;
  net::InstallerCatalog installers;
};

// Done when the component is registered afterwards, Cancelled when the user
// cancelled, Failed when it could not be installed (0, 1, 2). Runs inside
// the dialog's work.
JobResult installComponentOnDemand(const std::string& name, ProgressDialog& dialog,
                             const ComponentDownloadSettings& settings);

// The whole offer in a program: the download and installation of a missing
// component inside a progress dialog over owner. Done when it is registered
// afterwards, Cancelled when the user cancelled; otherwise "<program> cannot
// install the required install-on-demand component ..." is shown and the
// result is Failed.
JobResult installComponentWithProgress(HWND owner, const std::string& component, const std::string& program,
                                       const ComponentDownloadSettings& settings);

// Downloads url into localPath with the dialog's bar and Cancel.
JobResult downloadFile(const std::string& url, const std::string& localPath, ProgressDialog& dialog,
                 const std::string& agent);

}  // namespace ui
