// The frame's commands that reach outside the editor: handing the open files
// to the CD burning program, the tone generator, and the update check.

#include <windows.h>
#include <shellapi.h>

#include "editor/document_window.h"
#include "editor/frame.h"
#include "net/shipped_installers.h"
#include "shell/burn_list.h"
#include "shell/update_check.h"
#include "sys/file.h"
#include "sys/folders.h"
#include "ui/sibling_start.h"
#include "ui/text.h"
#include "ui/wininet_client.h"

namespace {

// Connecting and each receive of the update check give up after this.
constexpr unsigned long kUpdateTimeoutMs = 5000;

bool writeTextFile(const std::string& path, const std::string& text) {
  sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
  return file.isOpen() && file.write(text.data(), text.size()) == text.size() && file.flush();
}

ui::ComponentDownloadSettings editorDownloads(const sys::SettingsStore& settings) {
  return {"Razavo", net::readDownloadHosts(settings), net::shippedInstallers()};
}

}  // namespace

void Frame::copyOpenFilesToCd(bool audioDisc) {
  std::vector<std::string> paths;
  for (DocumentWindow* document : m_documents) {
    if (document->modified() || !document->hasName()) {
      ui::showMessage(m_window, shell::kUnsavedFilesMessage, shell::kUnsavedFilesCaption, MB_OK | MB_ICONINFORMATION);
      return;
    }
    paths.push_back(document->path());
  }
  if (paths.empty()) return;
  handToBurner(paths, audioDisc);
}

void Frame::handToBurner(const std::vector<std::string>& paths, bool audioDisc) {
  std::string listPath = sys::joinPath(sys::tempFolder(), shell::kBurnListName);
  if (!writeTextFile(listPath, shell::burnListText(paths))) {
    sys::deleteFile(listPath);
    ui::showMessage(m_window, ui::formatText("Cannot write the file list \"%s\".", listPath.c_str()), "Error",
                    MB_OK | MB_ICONERROR);
    return;
  }
  JobResult result = ui::startSiblingProgram(
      m_window, shell::burnerProgram(),
      shell::burnArgument(audioDisc ? shell::DiscKind::Audio : shell::DiscKind::Data, listPath),
      shell::kBurnProgressTitle, editorDownloads(*m_store));
  // A burner the user stopped waiting for still reads its list: it stays then.
  if (result != JobResult::Cancelled) sys::deleteFile(listPath);
}

void Frame::runToneGenerator() {
  ui::startToneGenerator(m_window, editorDownloads(*m_store));
}

void Frame::checkForUpdate() {
  std::string reply;
  std::string url = shell::updateCheckUrl(*m_store);
  ui::ProgressDialog progress;
  JobResult fetched = progress.run(m_window, "Checking for Updates", "", [&](ui::ProgressDialog& dialog) {
    ui::WinInetClient client("Razavo", kUpdateTimeoutMs);
    ui::DialogProgress dialogProgress(dialog);
    return static_cast<JobResult>(shell::fetchVersionReply(client, url, dialogProgress, reply));
  });
  // No connection, no answer in time, or Cancel: nothing to tell.
  if (fetched != JobResult::Done) return;
  shell::VersionReply version = shell::parseVersionReply(reply);
  switch (shell::judgeReply(version)) {
    case shell::UpdateOutcome::Nothing:
      return;
    case shell::UpdateOutcome::UpToDate:
      ui::showMessage(m_window, "The current version is up-to-date", "Version Current", MB_OK | MB_ICONINFORMATION);
      return;
    case shell::UpdateOutcome::Newer:
      break;
  }
  if (ui::showMessage(m_window,
                      "An updated version of this software is now available for download online. Do you want to "
                      "see more information about the new version?",
                      "Update Version Available", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  // Only a web address goes to the browser: a tampered reply must not be
  // able to start a program or open a file on this machine.
  if (!version.info || !shell::isBrowsableAddress(*version.info)) return;
  ShellExecuteW(m_window, L"open", ui::widen(*version.info).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  m_store->writeNumber("Settings", shell::kLastCheckVersionValue, *version.version);
}
