#pragma once
// What a batch worker's imports need: the registered decoder components, a
// Cancel that follows the run's, and a temporary folder of the worker's own,
// so that two workers never pick the same temporary file. Nothing is shown
// and nothing is downloaded: a missing decoder fails the file, which says so.

#include <atomic>
#include <string>

#include "formats/import_host.h"

class BatchImportHost final : public ImportHost {
 public:
  explicit BatchImportHost(const std::atomic<bool>& cancel);
  ~BatchImportHost() override;  // removes the folder and what is left in it
  BatchImportHost(const BatchImportHost&) = delete;
  BatchImportHost& operator=(const BatchImportHost&) = delete;

  void showImport(const std::string&, const std::string&) override {}
  void setProgress(int64_t, int64_t) override {}
  bool cancelled() override { return m_cancel.load(); }
  std::string componentPath(const std::string& name) override;
  JobResult installComponent(const std::string& name) override;
  std::string outputFolder() override;

 private:
  const std::atomic<bool>& m_cancel;
  std::string m_folder;
};
