#include "recorder/recordings_list_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <fstream>

#include "net/download_hosts.h"
#include "net/shipped_installers.h"
#include "recorder/backup_dialog.h"
#include "recorder/model/recordings_list.h"
#include "shell/burn_list.h"
#include "shell/sibling_program.h"
#include "sys/folders.h"
#include "ui/progress_dialog.h"
#include "ui/sibling_start.h"
#include "ui/tags_dialog.h"
#include "ui/text.h"

namespace recorder {
namespace {

constexpr int kListId = 300, kToolbarId = 301, kStatusId = 302;
enum Command : int {
  kPlay = 41001,
  kEdit,
  kRename,
  kDelete,
  kSaveAs,
  kConvert,
  kAudioCd,
  kDataCd,
  kBurn,
  kHelp,
  kClose,
  kBackup,
  kEditTags,
};
constexpr char kCaption[] = "Rezara Recording List";
constexpr char kProgramTitle[] = "Rezara Sound Recorder";
constexpr char kBurnListName[] = "txburn.txt";

// The maker's format converter, handed one recording at a time.
shell::SiblingProgram converterProgram() {
  return {"Dedarur", "RunConvert", "convertsetup", "Dedarur", "convert/index", false, true};
}

ui::DialogTemplate listTemplate() {
  return ui::DialogTemplate(kCaption, 300, 200,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                                DS_SETFONT);
}

HMENU createListMenu() {
  HMENU cd = CreatePopupMenu();
  AppendMenuW(cd, MF_STRING, kAudioCd, L"Audio CD");
  AppendMenuW(cd, MF_STRING, kDataCd, L"Data CD");
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kPlay, L"&Play\tF9");
  AppendMenuW(file, MF_STRING, kEdit, L"&Edit\tCtrl+E");
  AppendMenuW(file, MF_STRING, kRename, L"&Rename\tF2");
  AppendMenuW(file, MF_STRING, kDelete, L"&Delete\tDel");
  AppendMenuW(file, MF_STRING, kSaveAs, L"&Save As\tCtrl+S");
  AppendMenuW(file, MF_STRING, kEditTags, L"Edit ID3 Tags");
  AppendMenuW(file, MF_STRING, kConvert, L"Con&vert");
  AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(cd), L"&Copy To CD");
  AppendMenuW(file, MF_STRING, kBackup, L"&Backup...");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kHelp, L"&Help\tF1");
  AppendMenuW(file, MF_STRING, kClose, L"&Close");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  return bar;
}

HACCEL createListKeys() {
  ACCEL keys[] = {{FVIRTKEY, VK_F9, kPlay},           {FVIRTKEY | FCONTROL, 'E', kEdit},
                  {FVIRTKEY, VK_F2, kRename},         {FVIRTKEY, VK_DELETE, kDelete},
                  {FVIRTKEY | FCONTROL, 'S', kSaveAs}, {FVIRTKEY, VK_F1, kHelp}};
  return CreateAcceleratorTableW(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
}

struct FileFacts {
  FileStamp stamp;
  uint64_t bytes = 0;
};

std::optional<FileFacts> fileFacts(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(ui::widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FILETIME local{};
  SYSTEMTIME time{};
  FileTimeToLocalFileTime(&data.ftCreationTime, &local);
  FileTimeToSystemTime(&local, &time);
  FileFacts facts;
  facts.stamp = {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
  facts.bytes = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return facts;
}

void setCell(HWND list, int row, int column, const std::string& text) {
  std::wstring wide = ui::widen(text);
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
}

DWORD CALLBACK copyProgress(LARGE_INTEGER total, LARGE_INTEGER done, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                           HANDLE, HANDLE, LPVOID context) {
  auto* dialog = static_cast<ui::ProgressDialog*>(context);
  return dialog->progress(done.QuadPart, total.QuadPart) ? PROGRESS_CONTINUE : PROGRESS_CANCEL;
}

// The small "Rename" dialog: the name without its extension.
class RenameDialog final : public ui::Dialog {
 public:
  explicit RenameDialog(std::string name)
      : ui::Dialog(ui::DialogTemplate("Rename", 220, 58)
                       .text(-1, "New name:", 7, 8, 60, 10)
                       .edit(100, "", 7, 20, 206, 12, ES_AUTOHSCROLL)
                       .defaultButton(IDOK, "OK", 109, 38, 50, 14)
                       .button(IDCANCEL, "Cancel", 163, 38, 50, 14)),
        name(std::move(name)) {}
  std::string name;

 private:
  bool onInit() override {
    setText(100, name);
    SendMessageW(item(100), EM_SETSEL, 0, -1);
    SetFocus(item(100));
    return false;
  }
  void onCommand(int id, int) override {
    if (id == IDOK) name = getText(100);
    if (id == IDOK || id == IDCANCEL) endDialog(id);
  }
};

}  // namespace

RecordingsListWindow::RecordingsListWindow(HINSTANCE instance, RecorderSettings& settings,
                                           const FormatContext& formats)
    : ui::Dialog(listTemplate(), instance),
      m_instance(instance),
      m_settings(settings),
      m_formats(formats),
      m_play(instance, formats) {}

RecordingsListWindow::~RecordingsListWindow() {
  m_play.stop();
  if (m_accelerators) DestroyAcceleratorTable(m_accelerators);
}

void RecordingsListWindow::show(HWND owner, const std::string& select) {
  if (!handle()) {
    if (!createModeless(owner)) return;
    const ListPlacement placement = readListPlacement(m_settings.store());
    if (placement.width > 0 && placement.height > 0)
      SetWindowPos(handle(), nullptr, 0, 0, placement.width, placement.height, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(handle(), placement.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  } else {
    ShowWindow(handle(), IsIconic(handle()) ? SW_RESTORE : SW_SHOW);
  }
  fill(select);
  SetForegroundWindow(handle());
}

void RecordingsListWindow::hide() {
  if (!handle()) return;
  rememberSize();
  m_play.stop();
  ShowWindow(handle(), SW_HIDE);
}

bool RecordingsListWindow::visible() const { return handle() && IsWindowVisible(handle()); }

bool RecordingsListWindow::preTranslate(MSG& message) {
  HWND window = handle();
  if (!window || (message.hwnd != window && !IsChild(window, message.hwnd))) return false;
  if (m_accelerators && TranslateAcceleratorW(window, m_accelerators, &message)) return true;
  return IsDialogMessageW(window, &message) != FALSE;
}

bool RecordingsListWindow::onInit() {
  SetMenu(handle(), m_menu = createListMenu());
  m_accelerators = createListKeys();
  createControls();
  layout();
  return true;
}

void RecordingsListWindow::createControls() {
  HWND window = handle();
  m_toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0,
                              0, window, reinterpret_cast<HMENU>(kToolbarId), m_instance, nullptr);
  SendMessageW(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(m_toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
  struct Tool {
    int command;
    const wchar_t* text;
  };
  const Tool tools[] = {{kPlay, L"Play"},     {kEdit, L"Edit"}, {kRename, L"Rename"},
                        {kDelete, L"Delete"}, {kBurn, L"Burn"}, {kBackup, L"Backup"}};
  for (const Tool& tool : tools) {
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = tool.command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(tool.text);
    SendMessageW(m_toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
  }
  SendMessageW(m_toolbar, TB_AUTOSIZE, 0, 0);

  m_list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0, window,
                           reinterpret_cast<HMENU>(kListId), m_instance, nullptr);
  ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
  struct Column {
    const wchar_t* title;
    int width;
  };
  const Column columns[] = {{L"Name", 100}, {L"Format", 50}, {L"Date Created", 120}, {L"Size", 60}};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    column.cx = columns[i].width;
    column.iSubItem = i;
    SendMessageW(m_list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  m_play.create(window);
  m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                window, reinterpret_cast<HMENU>(kStatusId), m_instance, nullptr);
}

void RecordingsListWindow::layout() {
  if (!m_list) return;
  RECT client{};
  GetClientRect(handle(), &client);
  SendMessageW(m_toolbar, TB_AUTOSIZE, 0, 0);
  SendMessageW(m_statusBar, WM_SIZE, 0, 0);
  RECT bar{}, status{}, play{};
  GetWindowRect(m_toolbar, &bar);
  GetWindowRect(m_statusBar, &status);
  GetWindowRect(m_play.handle(), &play);
  const int top = bar.bottom - bar.top;
  const int statusHeight = status.bottom - status.top;
  const int playHeight = play.bottom - play.top;
  const int width = client.right;
  const int playTop = client.bottom - statusHeight - playHeight;
  MoveWindow(m_list, 0, top, width, std::max(0, playTop - top), TRUE);
  MoveWindow(m_play.handle(), 0, playTop, width, playHeight, TRUE);
}

void RecordingsListWindow::fill(const std::string& select) {
  m_folder = m_settings.outputFolder();
  SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
  int row = 0;
  for (const std::string& name : sys::listFiles(m_folder)) {
    const std::optional<FileFacts> facts = fileFacts(sys::joinPath(m_folder, name));
    if (!facts) continue;
    const std::optional<RecordingRow> shown = recordingRow(name, facts->stamp, facts->bytes);
    if (!shown) continue;
    std::wstring wide = ui::widen(shown->name);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    const int at = static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    setCell(m_list, at, 1, shown->format);
    setCell(m_list, at, 2, shown->created);
    setCell(m_list, at, 3, shown->size);
    if (!select.empty() && _wcsicmp(ui::widen(sys::fileNameOf(select)).c_str(), wide.c_str()) == 0) {
      ListView_SetItemState(m_list, at, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(m_list, at, FALSE);
    }
    ++row;
  }
  showStatus();
}

void RecordingsListWindow::showStatus() {
  const int count = ListView_GetItemCount(m_list);
  const int selected = ListView_GetSelectedCount(m_list);
  const std::string text = ui::formatText("%d recording(s), %d selected - %s", count, selected, m_folder.c_str());
  SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(ui::widen(text).c_str()));
  const std::string first = firstSelected();
  m_play.setFile(first.empty() ? std::string() : sys::joinPath(m_folder, first));
}

void RecordingsListWindow::rememberSize() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(handle(), &placement)) return;
  ListPlacement kept;
  kept.maximized = placement.showCmd == SW_SHOWMAXIMIZED || IsZoomed(handle());
  kept.width = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
  kept.height = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
  writeListPlacement(m_settings.store(), kept);
}

std::vector<std::string> RecordingsListWindow::selectedPaths() const {
  std::vector<std::string> paths;
  int row = -1;
  while ((row = ListView_GetNextItem(m_list, row, LVNI_SELECTED)) >= 0) {
    wchar_t name[MAX_PATH] = {};
    ListView_GetItemText(m_list, row, 0, name, MAX_PATH);
    paths.push_back(sys::joinPath(m_folder, ui::narrow(name)));
  }
  return paths;
}

std::string RecordingsListWindow::firstSelected() const {
  std::vector<std::string> paths = selectedPaths();
  return paths.empty() ? std::string() : sys::fileNameOf(paths.front());
}

INT_PTR RecordingsListWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      layout();
      return TRUE;
    case WM_CLOSE:
      hide();
      return TRUE;
    case WM_DESTROY:
      // With the recorder's window, or alone: the size is kept either way.
      rememberSize();
      m_play.stop();
      break;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == TTN_GETDISPINFOW) {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        static const wchar_t* const kTips[] = {L"Play the selected file", L"Edit the selected file",
                                               L"Rename the selected file", L"Delete the selected file(s)",
                                               L"Copy the selected file(s) to CD"};
        const UINT_PTR id = tip->hdr.idFrom;
        if (id >= kPlay && id <= kDelete) tip->lpszText = const_cast<wchar_t*>(kTips[id - kPlay]);
        if (id == kBurn) tip->lpszText = const_cast<wchar_t*>(kTips[4]);
        if (id == kBackup) tip->lpszText = const_cast<wchar_t*>(L"Compress and copy the selected file(s)");
        return TRUE;
      }
      if (header->idFrom == kListId && header->code == NM_DBLCLK) playSelected();
      if (header->idFrom == kListId && header->code == LVN_ITEMCHANGED) showStatus();
      return TRUE;
    }
    default:
      break;
  }
  return ui::Dialog::handleMessage(message, wParam, lParam);
}

void RecordingsListWindow::onCommand(int id, int) {
  switch (id) {
    case kPlay: playSelected(); break;
    case kEdit: editSelected(); break;
    case kRename: renameSelected(); break;
    case kDelete: deleteSelected(); break;
    case kSaveAs: saveSelectedAs(); break;
    case kConvert: convertSelected(); break;
    case kEditTags: editTagsOfSelected(); break;
    case kAudioCd: copyToCd(true); break;
    case kDataCd: copyToCd(false); break;
    case kBurn: {
      RECT button{};
      SendMessageW(m_toolbar, TB_GETRECT, kBurn, reinterpret_cast<LPARAM>(&button));
      MapWindowPoints(m_toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
      HMENU kinds = GetSubMenu(GetSubMenu(m_menu, 0), 6);
      TrackPopupMenu(kinds, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, handle(), nullptr);
      break;
    }
    case kHelp: showHelp(); break;
    case kBackup:
      m_play.stop();
      runBackup(handle(), selectedPaths(), m_settings.store(), m_formats, downloads());
      break;
    case kClose:
    case IDCANCEL: hide(); break;
    default: break;
  }
}

void RecordingsListWindow::playSelected() {
  const std::string name = firstSelected();
  if (name.empty()) return;
  if (!m_play.play(sys::joinPath(m_folder, name)))
    ui::showMessage(handle(), "Cannot play the selected file.", kCaption, MB_OK | MB_ICONWARNING);
}

void RecordingsListWindow::editSelected() {
  const std::string name = firstSelected();
  if (name.empty()) return;
  ui::startSiblingProgram(handle(), shell::editorProgram(), sys::joinPath(m_folder, name), "Run Razavo", downloads());
}

void RecordingsListWindow::renameSelected() {
  const std::string name = firstSelected();
  if (name.empty()) return;
  const size_t dot = name.find_last_of('.');
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  RenameDialog dialog(name.substr(0, dot));
  for (;;) {
    if (dialog.runModal(handle()) != IDOK) return;
    const RenameCheck check = checkRename(m_folder, dialog.name, extension, sys::fileExists);
    if (check == RenameCheck::Empty) {
      ui::showMessage(handle(), "The name must contain text.", "Name Invalid", MB_OK | MB_ICONWARNING);
    } else if (check == RenameCheck::Exists) {
      ui::showMessage(handle(),
                      "The recording cannot be renamed because another recording with the same name and format "
                      "already exists. Please try another name.",
                      "Recording Name Exists", MB_OK | MB_ICONWARNING);
    } else {
      break;
    }
  }
  const std::string target = renamedPath(m_folder, dialog.name, extension);
  m_play.stop();
  if (!MoveFileW(ui::widen(sys::joinPath(m_folder, name)).c_str(), ui::widen(target).c_str()))
    ui::showMessage(handle(), "The recording could not be renamed.", kCaption, MB_OK | MB_ICONWARNING);
  fill(target);
}

void RecordingsListWindow::deleteSelected() {
  const std::vector<std::string> paths = selectedPaths();
  if (paths.empty()) return;
  if (ui::showMessage(handle(),
                      "Are you sure you want to delete the selected file(s)?. This will delete the file(s) "
                      "permanently from your computer.",
                      "Confirm delete", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  m_play.stop();
  int failed = 0;
  for (const std::string& path : paths)
    if (!sys::deleteFile(path)) ++failed;
  if (failed > 0)
    ui::showMessage(handle(), ui::formatText("%d of the selected files could not be deleted.", failed), kCaption,
                    MB_OK | MB_ICONWARNING);
  fill({});
}

// A copy of the recording under another name, in its own format.
void RecordingsListWindow::saveSelectedAs() {
  const std::string name = firstSelected();
  if (name.empty()) return;
  const std::string source = sys::joinPath(m_folder, name);
  const size_t dot = name.find_last_of('.');
  const std::wstring extension = ui::widen(dot == std::string::npos ? std::string() : name.substr(dot));
  std::wstring filter = L"Audio Files";
  filter += L'\0';
  filter += L"*" + extension;
  filter += L'\0';
  filter += L'\0';
  wchar_t path[MAX_PATH] = {};
  wcsncpy(path, ui::widen(name).c_str(), MAX_PATH - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = handle();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = L"Save File";
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str() + 1;
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return;
  const std::string target = ui::narrow(path);
  if (_wcsicmp(path, ui::widen(source).c_str()) == 0) return;  // already there
  if (sys::fileExists(target) &&
      ui::showMessage(handle(), "There is another file with the same name already exists. Do you want to replace it?",
                      "File Exists", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  ui::ProgressDialog progress;
  const JobResult copied = progress.run(handle(), "Save File", "Saving file...", [&](ui::ProgressDialog& shown) {
    // The copy is made beside the target and replaces it only when complete.
    const std::string temporary = sys::createFileBeside(target);
    if (temporary.empty()) return JobResult::Failed;
    const BOOL done = CopyFileExW(ui::widen(source).c_str(), ui::widen(temporary).c_str(), copyProgress, &shown,
                                  nullptr, 0);
    JobResult result = JobResult::Done;
    if (!done) result = shown.cancelled() ? JobResult::Cancelled : JobResult::Failed;
    else if (!sys::replaceFile(temporary, target)) result = JobResult::Failed;
    if (result != JobResult::Done) sys::deleteFile(temporary);
    return result;
  });
  if (copied == JobResult::Failed)
    ui::showMessage(handle(), "The file could not be saved.", "Save File", MB_OK | MB_ICONWARNING);
  if (sys::folderOf(target) == m_folder) fill(target);
}

void RecordingsListWindow::editTagsOfSelected() {
  const std::string name = firstSelected();
  if (name.empty()) return;
  const std::string path = sys::joinPath(m_folder, name);
  if (!canCarryTags(path)) {
    ui::showMessage(handle(), "Only wav and mp3 files can have tags edited.", kCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  FileTags tags;
  readFileTags(path, tags);
  if (!editAudioTags(handle(), tags.values)) return;
  m_play.stop();
  if (!writeFileTags(path, tags))
    ui::showMessage(handle(),
                    "Cannot write the tags into the file \"" + path +
                        "\". The file was left as it was; check that no other program has it open.",
                    "Error", MB_OK | MB_ICONERROR);
  fill(path);
}

void RecordingsListWindow::convertSelected() {
  for (const std::string& path : selectedPaths())
    if (ui::startSiblingProgram(handle(), converterProgram(), path, "Run Dedarur", downloads()) != JobResult::Done)
      break;
}

void RecordingsListWindow::copyToCd(bool audio) {
  const std::vector<std::string> paths = selectedPaths();
  if (paths.empty()) return;
  const std::string list = sys::joinPath(sys::tempFolder(), kBurnListName);
  bool written = false;
  {
    std::ofstream file(ui::widen(list).c_str(), std::ios::binary | std::ios::trunc);
    file << shell::burnListText(paths);
    written = file.good();
  }
  if (!written) {
    sys::deleteFile(list);
    ui::showMessage(handle(), ui::formatText("Cannot write the file list \"%s\".", list.c_str()), "Error",
                    MB_OK | MB_ICONERROR);
    return;
  }
  const shell::DiscKind kind = audio ? shell::DiscKind::Audio : shell::DiscKind::Data;
  const JobResult result = ui::startSiblingProgram(handle(), shell::burnerProgram(), shell::burnArgument(kind, list),
                                                   shell::kBurnProgressTitle, downloads());
  // A burner the user stopped waiting for still reads its list: it stays then.
  if (result != JobResult::Cancelled) sys::deleteFile(list);
}

ui::ComponentDownloadSettings RecordingsListWindow::downloads() const {
  return {kProgramTitle, net::readDownloadHosts(m_settings.store()), net::shippedInstallers()};
}

void RecordingsListWindow::showHelp() {
  ui::openMakerPage(handle(), net::readDownloadHosts(m_settings.store()), "rezara/help");
}

}  // namespace recorder
