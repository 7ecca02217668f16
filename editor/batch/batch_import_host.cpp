#include "editor/batch/batch_import_host.h"

#include "net/install_on_demand.h"
#include "sys/folders.h"

BatchImportHost::BatchImportHost(const std::atomic<bool>& cancel)
    : m_cancel(cancel), m_folder(sys::createUniqueFolder(sys::tempFolder(), "RazavoBatch")) {}

BatchImportHost::~BatchImportHost() {
  if (m_folder.empty()) return;
  for (const std::string& name : sys::listFiles(m_folder)) sys::deleteFile(sys::joinPath(m_folder, name));
  sys::removeEmptyFolder(m_folder);
}

std::string BatchImportHost::componentPath(const std::string& name) { return net::componentPath(name); }

// Downloads need the user's consent and a dialog of their own; a batch runs
// unattended, so the file fails with the import's missing-component message.
JobResult BatchImportHost::installComponent(const std::string&) { return JobResult::Failed; }

std::string BatchImportHost::outputFolder() { return m_folder.empty() ? sys::tempFolder() : m_folder; }
