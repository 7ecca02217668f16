#include "ui/import_progress.h"

#include "net/install_on_demand.h"

namespace ui {

void ImportProgress::showImport(const std::string& title, const std::string& inputPath) {
  m_dialog.setTitle(title);
  m_dialog.setLine(1, inputPath);
  m_dialog.setLine(2, "");
  m_dialog.setProgress(0, 1);
}

std::string ImportProgress::componentPath(const std::string& name) { return net::componentPath(name); }

JobResult ImportProgress::installComponent(const std::string& name) {
  return installComponentOnDemand(name, m_dialog, m_downloads);
}

}  // namespace ui
