#include "recorder/backup_dialog.h"

#include <fstream>

#include "recorder/backup_writer.h"
#include "recorder/model/backup_plan.h"
#include "ui/folder_browser.h"
#include "shell/sibling_program.h"
#include "sys/folders.h"
#include "ui/dialog.h"
#include "ui/progress_dialog.h"
#include "ui/sibling_start.h"
#include "ui/text.h"

namespace recorder {
namespace {

constexpr const char* kSection = "Backup";
constexpr const char* kProgramTitle = "Rezara Sound Recorder";
constexpr const char* kMp3Component = "mp3el";

class BackupDialog final : public ui::Dialog {
 public:
  static constexpr int kToCd = 101, kToFolder = 102, kFolder = 103, kBrowse = 104, kFormat = 105;

  explicit BackupDialog(sys::SettingsStore& settings)
      : ui::Dialog(ui::DialogTemplate("Backup", 240, 130)
                       .groupBox(-1, "&Compress and Copy Selected Files to:", 7, 7, 226, 56)
                       .radio(kToCd, "CD (using Vuzivo)", 14, 20, 200, 10, true)
                       .radio(kToFolder, "A Shared Network or Local Folder", 14, 33, 200, 10, false)
                       .edit(kFolder, "", 24, 45, 184, 12, ES_AUTOHSCROLL)
                       .button(kBrowse, "...", 211, 44, 16, 14)
                       .groupBox(-1, "&Audio Compression", 7, 68, 226, 34)
                       .text(-1, "Format", 14, 83, 30, 10)
                       .comboBox(kFormat, 48, 81, 178, 80, CBS_DROPDOWNLIST)
                       .defaultButton(IDOK, "OK", 129, 109, 50, 14)
                       .button(IDCANCEL, "Cancel", 183, 109, 50, 14)),
        m_settings(settings) {}

  bool toCd = false;
  std::string folder;
  BackupCompression compression = BackupCompression::WavGsm;

 private:
  bool onInit() override {
    const bool cd = m_settings.readNumber(kSection, "CompressCD", 0) != 0;
    setCheck(kToCd, cd);
    setCheck(kToFolder, !cd);
    setText(kFolder, m_settings.read(kSection, "CompressFolder", ""));
    for (int i = 0; i < kBackupCompressionCount; ++i)
      addComboItem(kFormat, backupCompressionName(static_cast<BackupCompression>(i)));
    setComboSelection(kFormat, static_cast<int>(backupCompressionFromIndex(
                                   m_settings.readNumber(kSection, "Compression", kDefaultBackupCompression))));
    enableFolder();
    return true;
  }

  void enableFolder() {
    enable(kFolder, isChecked(kToFolder));
    enable(kBrowse, isChecked(kToFolder));
  }

  void onCommand(int id, int) override {
    if (id == kToCd || id == kToFolder) {
      enableFolder();
    } else if (id == kBrowse) {
      if (auto chosen = ui::browseForFolder(handle(), "Browse for folder", getText(kFolder))) setText(kFolder, *chosen);
    } else if (id == IDOK) {
      toCd = isChecked(kToCd);
      folder = getText(kFolder);
      compression = backupCompressionFromIndex(comboSelection(kFormat));
      if (!toCd && folder.find_first_not_of(' ') == std::string::npos) {
        ui::showMessage(handle(), "Invalid Folder Selected For Compression", "Backup", MB_OK | MB_ICONWARNING);
        return;
      }
      m_settings.writeNumber(kSection, "CompressCD", toCd ? 1 : 0);
      m_settings.write(kSection, "CompressFolder", folder);
      m_settings.writeNumber(kSection, "Compression", static_cast<int>(compression));
      endDialog(IDOK);
    } else if (id == IDCANCEL) {
      endDialog(IDCANCEL);
    }
  }

  sys::SettingsStore& m_settings;
};

bool isMp3(BackupCompression compression) {
  return compression == BackupCompression::Mp3At8 || compression == BackupCompression::Mp3At16;
}

bool encoderReady(HWND owner, const FormatContext& formats, const ui::ComponentDownloadSettings& downloads) {
  auto installed = [&] { return formats.findComponent && !formats.findComponent(kMp3Component).empty(); };
  if (installed()) return true;
  return ui::installComponentWithProgress(owner, kMp3Component, kProgramTitle, downloads) == JobResult::Done &&
         installed();
}

// The list the burner reads: the backup files of the folder, one a line.
bool writeCdList(const std::string& folder, const std::string& listPath) {
  std::ofstream list(ui::widen(listPath).c_str(), std::ios::binary | std::ios::trunc);
  for (const std::string& name : sys::listFiles(folder)) {
    const size_t dot = name.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (char& c : extension) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (extension == ".wav" || extension == ".mp3" || extension == ".gsm")
      list << sys::joinPath(folder, name) << "\r\n";
  }
  return list.good();
}

}  // namespace

void runBackup(HWND owner, const std::vector<std::string>& recordings, sys::SettingsStore& settings,
               const FormatContext& formats, const ui::ComponentDownloadSettings& downloads) {
  BackupDialog dialog(settings);
  if (dialog.runModal(owner) != IDOK) return;
  if (isMp3(dialog.compression) && !encoderReady(owner, formats, downloads)) return;
  if (recordings.empty()) {
    ui::showMessage(owner, "Please select the file(s) you want to backup and try again.", "Backup File Not Found",
                    MB_OK | MB_ICONWARNING);
    return;
  }
  const std::string work = sys::createUniqueFolder(sys::tempFolder(), "RezaraBackup");
  const std::string target = dialog.toCd ? sys::createUniqueFolder(sys::tempFolder(), "RezaraCd") : dialog.folder;
  if (work.empty() || target.empty() || !sys::createFolder(target)) {
    ui::showMessage(owner, "Invalid Folder Selected For Compression", "Backup", MB_OK | MB_ICONWARNING);
    return;
  }

  BackupPlan plan = planBackup(recordings, target, dialog.compression, sys::fileExists);
  bool complete = plan.refused.empty();
  if (!plan.refused.empty()) {
    std::string names;
    for (const std::string& path : plan.refused) names += "\r\n" + sys::fileNameOf(path);
    ui::showMessage(owner, "These recordings would be replaced by their own backup and are skipped:" + names,
                    "Backup", MB_OK | MB_ICONWARNING);
  }
  bool replaceExisting = false;
  for (const BackupItem& item : plan.items) {
    if (!item.replaces) continue;
    replaceExisting = ui::showMessage(owner,
                                      "Backup files of the same names exist already in the folder. Do you want to "
                                      "replace them?",
                                      "Backup", MB_YESNO | MB_ICONQUESTION) == IDYES;
    break;
  }

  ui::ProgressDialog progress;
  const JobResult ran = progress.run(owner, "Backup", "Compressing Files...", [&](ui::ProgressDialog& shown) {
    for (const BackupItem& item : plan.items) {
      if (shown.cancelled()) return JobResult::Cancelled;
      if (item.replaces && !replaceExisting) {
        complete = false;
        continue;
      }
      if (!sys::fileExists(item.source)) {
        ui::showMessage(owner, "File was not found.", "Backup Incomplete", MB_OK | MB_ICONWARNING);
        complete = false;
        continue;
      }
      shown.setLine(2, isMp3(dialog.compression) ? "Encoding mp3" : sys::fileNameOf(item.source));
      const JobResult written =
          writeBackupFile(item.source, item.target, dialog.compression, formats, work, &shown);
      if (written == JobResult::Cancelled) return JobResult::Cancelled;
      if (written != JobResult::Done) complete = false;
    }
    return JobResult::Done;
  });
  sys::removeEmptyFolder(work);
  if (ran != JobResult::Done) complete = false;

  if (dialog.toCd && ran == JobResult::Done) {
    const std::string listPath = sys::joinPath(target, "temp.txt");
    if (!writeCdList(target, listPath)) {
      complete = false;
    } else {
      const std::string arguments =
          "-clear -show -type data -label RECORDINGBACKUP -list \"" + listPath + "\" -burn -exit";
      const JobResult burned =
          ui::startSiblingProgram(owner, shell::burnerProgram(), arguments, "Run VuzivoApp", downloads);
      if (burned == JobResult::Failed) {
        ui::showMessage(owner, "Error launching Vuzivo", "Backup", MB_OK | MB_ICONERROR);
        complete = false;
      }
      // A burner the user stopped waiting for still reads the copies: they stay then.
      if (burned != JobResult::Cancelled) {
        for (const std::string& name : sys::listFiles(target)) sys::deleteFile(sys::joinPath(target, name));
        sys::removeEmptyFolder(target);
      }
    }
  }
  if (complete)
    ui::showMessage(owner, "Backup was successful.", "Backup Complete", MB_OK | MB_ICONINFORMATION);
  else
    ui::showMessage(owner, "Backup was unsuccessful", "Backup Incomplete", MB_OK | MB_ICONWARNING);
}

}  // namespace recorder
