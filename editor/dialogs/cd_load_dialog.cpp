#include "editor/dialogs/cd_load_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <string>
#include <vector>

#include "cd/cddb_client.h"
#include "cd/disc_image_drive.h"
#include "cd/track_ripper.h"
#include "cd/win32/system_cd_drives.h"
#include "editor/model/cd_settings.h"
#include "sys/folders.h"
#include "ui/dialog.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace {

constexpr int kDriveBox = 101, kTrackList = 102, kUseFreeDb = 103, kRefresh = 104;
// Drives past the eighth are listed but not read, as before.
constexpr int kMaxCdRomDrives = 8;
constexpr const char* kCaption = "Load Audio CD Track(s)";
constexpr const char* kNoDriveMessage =
    "No CD-ROM drives have been detected. If you do have a CD-ROM drive installed but see this message please read "
    "the Help topic relating to Loading CD Tracks.";
constexpr const char* kCddbFailedMessage =
    "The operation failed when trying to access the freeDB Internet server. Please try again later.";

struct DriveEntry {
  enum class Kind { CdRom, Image, BrowseImage } kind;
  std::string location;  // "D:" or the cue sheet's path
  int cdRomIndex = -1;
};

class CddbProgress : public cd::CddbEvents {
 public:
  explicit CddbProgress(ui::ProgressDialog& progress) : m_progress(progress) {}
  void connected(const std::string& host) override {
    m_progress.setLine(1, "Connected to freedb server");
    m_progress.setLine(2, host);
  }
  bool cancelled() override { return m_progress.cancelled(); }

 private:
  ui::ProgressDialog& m_progress;
};

class RipProgressOfDialog : public cd::RipProgress {
 public:
  explicit RipProgressOfDialog(ui::ProgressDialog& progress) : m_progress(progress) {}
  bool cancelled() override { return m_progress.cancelled(); }
  void setProgress(int64_t done, int64_t total) override { m_progress.setProgress(done, total); }

 private:
  ui::ProgressDialog& m_progress;
};

class CdLoadDialog : public ui::Dialog {
 public:
  CdLoadDialog(sys::SettingsStore& store)
      : ui::Dialog(ui::DialogTemplate(kCaption, 260, 196, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(-1, "Drive:", 8, 10, 30, 10)
                       .comboBox(kDriveBox, 40, 8, 212, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .control(WC_LISTVIEWW, kTrackList, "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 8,
                                26, 244, 124)
                       .checkBox(kUseFreeDb, "Access freeDB Internet Server for track name", 8, 156, 244, 10)
                       .button(kRefresh, "&Refresh", 8, 174, 60, 14)
                       .defaultButton(IDOK, "&Load", 136, 174, 56, 14)
                       .button(IDCANCEL, "Cancel", 196, 174, 56, 14)),
        m_store(store) {}

 protected:
  bool onInit() override {
    HWND list = item(kTrackList);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    addColumn(0, L"Track", 330);
    addColumn(1, L"Duration", 80);
    setCheck(kUseFreeDb, CdSettings(m_store).useFreeDb());

    std::vector<std::string> roots = cd::findCdRomDrives();
    for (size_t i = 0; i < roots.size(); ++i)
      m_entries.push_back({DriveEntry::Kind::CdRom, roots[i], static_cast<int>(i)});
    std::string image = CdSettings(m_store).imagePath();
    if (!image.empty()) m_entries.push_back({DriveEntry::Kind::Image, image});
    m_entries.push_back({DriveEntry::Kind::BrowseImage, ""});
    for (const DriveEntry& entry : m_entries) addComboItem(kDriveBox, entryText(entry));
    // Without a drive a disc image can still be opened: the dialog stays.
    if (roots.empty() && image.empty()) ui::showMessage(handle(), kNoDriveMessage, kCaption, MB_OK | MB_ICONINFORMATION);
    if (!roots.empty() || !image.empty()) {
      setComboSelection(kDriveBox, 0);
      m_selected = 0;
      openSelectedDrive();
    }
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kDriveBox && code == CBN_SELCHANGE) return driveChosen();
    if (id == kRefresh) return readDisc();
    if (id == IDOK) return load();
    if (id == IDCANCEL) CdSettings(m_store).setUseFreeDb(isChecked(kUseFreeDb));
    ui::Dialog::onCommand(id, code);
  }

 private:
  static std::string entryText(const DriveEntry& entry) {
    switch (entry.kind) {
      case DriveEntry::Kind::CdRom: return "CD-ROM " + std::to_string(entry.cdRomIndex + 1);
      case DriveEntry::Kind::Image: return "Disc image: " + sys::fileNameOf(entry.location);
      case DriveEntry::Kind::BrowseImage: break;
    }
    return "Disc image (.cue)...";
  }

  void addColumn(int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    ListView_InsertColumn(item(kTrackList), index, &column);
  }

  void driveChosen() {
    int chosen = comboSelection(kDriveBox);
    if (chosen < 0 || chosen >= static_cast<int>(m_entries.size())) return;
    if (m_entries[chosen].kind == DriveEntry::Kind::BrowseImage) {
      std::string path = askForImage();
      if (path.empty()) {
        setComboSelection(kDriveBox, m_selected);
        return;
      }
      CdSettings(m_store).setImagePath(path);
      chosen = rememberImage(path);
    }
    m_selected = chosen;
    openSelectedDrive();
  }

  // The image entry shows the last image chosen; returns its index.
  int rememberImage(const std::string& path) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
      if (m_entries[i].kind != DriveEntry::Kind::Image) continue;
      m_entries[i].location = path;
      sendItem(kDriveBox, CB_DELETESTRING, i);
      sendItem(kDriveBox, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(ui::widen(entryText(m_entries[i])).c_str()));
      setComboSelection(kDriveBox, static_cast<int>(i));
      return static_cast<int>(i);
    }
    int index = static_cast<int>(m_entries.size()) - 1;  // before the browse entry
    m_entries.insert(m_entries.begin() + index, {DriveEntry::Kind::Image, path});
    sendItem(kDriveBox, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(ui::widen(entryText(m_entries[index])).c_str()));
    setComboSelection(kDriveBox, index);
    return index;
  }

  std::string askForImage() {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = handle();
    dialog.lpstrFilter = L"Disc images (*.cue)\0*.cue\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = L"Open Disc Image";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog)) return "";
    return ui::narrow(path);
  }

  void openSelectedDrive() {
    m_drive.reset();
    const DriveEntry& entry = m_entries[m_selected];
    if (entry.kind == DriveEntry::Kind::CdRom) {
      m_drive = cd::openCdRomDrive(entry.location, entryText(entry));
    } else if (entry.kind == DriveEntry::Kind::Image) {
      std::string reason;
      m_drive = cd::DiscImageDrive::open(entry.location, reason);
      if (!m_drive) ui::showMessage(handle(), reason, kCaption, MB_OK | MB_ICONEXCLAMATION);
    }
    readDisc();
  }

  // Reads the table of contents, looks the names up when asked to, and
  // fills the list.
  void readDisc() {
    m_disc = cd::DiscRecord{};
    m_disc.driveIndex = static_cast<uint8_t>(m_selected);
    cd::TableOfContents toc;
    if (m_drive && m_drive->readTableOfContents(toc)) cd::fillFromTableOfContents(m_disc, toc);
    m_disc.useCddb = isChecked(kUseFreeDb);
    if (m_disc.useCddb && m_disc.trackCount > 0) lookUpNames();
    fillList();
  }

  void lookUpNames() {
    CdSettings settings(m_store);
    cd::CddbResult result = cd::CddbResult::Failed;
    ui::ProgressDialog progress;
    progress.run(handle(), kCaption, "Connecting to freedb server", [&](ui::ProgressDialog& dialog) {
      CddbProgress events(dialog);
      result = cd::lookUpDisc(settings.cddbHost(), settings.cddbPort(), m_disc, events);
      return result == cd::CddbResult::Failed ? JobResult::Failed : JobResult::Done;
    });
    if (result == cd::CddbResult::NoMatch) {
      ui::showMessage(handle(), "No CDDB match found", "Razavo", MB_OK | MB_ICONINFORMATION);
      return;  // told once: the server answered, it only knows no such disc
    }
    if (m_disc.tracks[0].title == cd::defaultTrackTitle(0))
      ui::showMessage(handle(), kCddbFailedMessage, kCaption, MB_OK | MB_ICONEXCLAMATION);
  }

  void fillList() {
    HWND list = item(kTrackList);
    ListView_DeleteAllItems(list);
    for (int i = 0; i < m_disc.trackCount; ++i) {
      std::wstring title = ui::widen(m_disc.tracks[i].title);
      std::wstring duration = ui::widen(cd::trackDurationText(m_disc.tracks[i].durationSeconds));
      LVITEMW row{};
      row.mask = LVIF_TEXT;
      row.iItem = i;
      row.pszText = title.data();
      int index = ListView_InsertItem(list, &row);
      ListView_SetItemText(list, index, 1, duration.data());
    }
  }

  void load() {
    const DriveEntry& entry = m_entries[m_selected >= 0 ? m_selected : 0];
    if (!m_drive || m_selected < 0 || (entry.kind == DriveEntry::Kind::CdRom && entry.cdRomIndex >= kMaxCdRomDrives))
      return;
    CdSettings(m_store).setUseFreeDb(isChecked(kUseFreeDb));
    HWND list = item(kTrackList);
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED))
      rows.push_back(row);
    if (rows.empty()) {
      ui::showMessage(handle(), "Please select the track(s) to load.", kCaption, MB_OK | MB_ICONINFORMATION);
      return;
    }
    HWND owner = GetWindow(handle(), GW_OWNER);
    std::string failed;
    for (int row : rows) {
      const cd::TrackRecord& track = m_disc.tracks[row];
      SoundBuffer sound(44100, 2);
      ui::ProgressDialog progress;
      JobResult result = progress.run(handle(), "Import CD Track(s)", "Loading " + track.title, [&](ui::ProgressDialog& dialog) {
        dialog.setLine(2, "Ripping Digital Audio...");
        RipProgressOfDialog ripProgress(dialog);
        return static_cast<JobResult>(cd::ripTrack(*m_drive, track.startAddress, track.endAddress, sound, ripProgress));
      });
      if (result == JobResult::Done)
        SendMessageW(owner, kOpenCdTrackMessage, 0, reinterpret_cast<LPARAM>(&sound));
      else if (result == JobResult::Failed)
        failed += "\n" + track.title;
    }
    if (!failed.empty())
      ui::showMessage(handle(), "These tracks could not be read from the drive:" + failed, kCaption,
                      MB_OK | MB_ICONEXCLAMATION);
    endDialog(IDOK);
  }

  sys::SettingsStore& m_store;
  std::vector<DriveEntry> m_entries;
  int m_selected = -1;
  std::unique_ptr<cd::CdDrive> m_drive;
  cd::DiscRecord m_disc;
};

}  // namespace

void runCdLoadDialog(HWND owner, sys::SettingsStore& store) {
  CdLoadDialog dialog(store);
  dialog.runModal(owner);
}
