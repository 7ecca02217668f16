#pragma once
// Importing inside the progress dialog: the import's title and the file in
// the dialog, its bar and Cancel, and the decoder components from the
// registry, downloaded on demand when missing.

#include "formats/import_host.h"
#include "ui/component_download.h"
#include "ui/progress_dialog.h"

namespace ui {

class ImportProgress final : public ImportHost {
 public:
  ImportProgress(ProgressDialog& dialog, const ComponentDownloadSettings& downloads)
      : m_dialog(dialog), m_downloads(downloads) {}

  void showImport(const std::string& title, const std::string& inputPath) override;
  void setProgress(int64_t done, int64_t total) override { m_dialog.setProgress(done, total); }
  bool cancelled() override { return m_dialog.cancelled(); }
  std::string componentPath(const std::string& name) override;
  JobResult installComponent(const std::string& name) override;

 private:
  ProgressDialog& m_dialog;
  const ComponentDownloadSettings& m_downloads;
};

}  // namespace ui
