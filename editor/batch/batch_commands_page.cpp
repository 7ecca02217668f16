// The second step: the command list, its batch script file, and each
// command's settings.

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "editor/batch/batch_command_dialogs.h"
#include "editor/batch/batch_pages.h"
#include "editor/model/batch_script.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace {

constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL | DS_SETFONT;
constexpr wchar_t kScriptFilter[] = L"Batch Script File (*.vrb)\0*.vrb\0";
constexpr const char* kFileError = "File Error";

// The script file dialogs; empty when cancelled.
std::string askScriptPath(HWND owner, const wchar_t* title, bool saving) {
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kScriptFilter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = title;
  dialog.lpstrDefExt = L"vrb";
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY | (saving ? 0 : OFN_FILEMUSTEXIST);
  const BOOL chosen = saving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  return chosen ? ui::narrow(path) : std::string();
}

bool saveScriptAs(HWND owner, BatchConverterState& state) {
  const std::string path = askScriptPath(owner, L"Locate Batch Script File", true);
  if (path.empty()) return false;
  if (sys::fileExists(path) &&
      ui::showMessage(owner, "Another file with the same name already exists. Do you want to replace it?", "Razavo",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  if (!writeBatchScriptFile(path, state.commands)) {
    ui::showMessage(owner, "Razavo cannot open this file. The file does not exist or may be corrupted.", kFileError,
                    MB_OK | MB_ICONERROR);
    return false;
  }
  state.scriptPath = path;
  state.commandsChanged = false;
  return true;
}

class BatchCommandsPage : public BatchPage {
 public:
  static constexpr int kCommands = 101, kScriptName = 102, kSettings = 103, kAdd = 104, kRemove = 105;
  static constexpr int kOpen = 106, kNew = 107, kSaveAs = 108;

  explicit BatchCommandsPage(BatchConverterState& state)
      : BatchPage(ui::DialogTemplate("", 320, 196, kPageStyle)
                      .text(-1, "Step 2:", 8, 6, 300, 10)
                      .text(-1, "Click Add to select the commands you want to apply to the files.", 8, 18, 300, 10)
                      .text(-1, "Script:", 8, 36, 30, 10)
                      .text(kScriptName, "", 40, 36, 120, 10, SS_PATHELLIPSIS)
                      .button(kNew, "&New", 166, 34, 46, 14)
                      .button(kOpen, "Open", 216, 34, 46, 14)
                      .button(kSaveAs, "&Save As", 266, 34, 48, 14)
                      .control(WC_LISTVIEWW, kCommands, "",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                   LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                               0, 8, 54, 244, 136)
                      .button(kAdd, "Add", 260, 54, 54, 14)
                      .button(kRemove, "Remove", 260, 72, 54, 14)
                      .button(kSettings, "Set&tings", 260, 90, 54, 14)),
        m_state(state) {}

 protected:
  bool onInit() override {
    HWND list = item(kCommands);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    addColumn(0, L"Command", 100);
    addColumn(1, L"Description", 200);
    showCommands(0);
    return false;
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == item(kCommands)) {
      showContextMenu(lParam);
      return TRUE;
    }
    if (message == WM_NOTIFY) {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == kCommands && header->code == NM_DBLCLK) editSettings();
      if (header->idFrom == kCommands && header->code == LVN_ITEMCHANGED) enableButtons();
    }
    return BatchPage::handleMessage(message, wParam, lParam);
  }

  void onCommand(int id, int) override {
    switch (id) {
      case kAdd: return addCommands();
      case kRemove: return removeCommand();
      case kSettings: return editSettings();
      case kNew:
        if (!offerToSaveCommands(handle(), m_state)) return;
        m_state.commands.clear();
        m_state.scriptPath.clear();
        m_state.commandsChanged = false;
        return showCommands(0);
      case kOpen: return openScript();
      case kSaveAs:
        if (saveScriptAs(handle(), m_state)) showCommands(selected());
        return;
    }
  }

 private:
  void addColumn(int index, const wchar_t* title, int widthUnits) {
    RECT width{0, 0, widthUnits, 0};
    MapDialogRect(handle(), &width);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width.right;
    ListView_InsertColumn(item(kCommands), index, &column);
  }

  int selected() const { return ListView_GetNextItem(item(kCommands), -1, LVNI_SELECTED); }

  void showCommands(int select) {
    setText(kScriptName, m_state.scriptPath.empty() ? kUntitledBatchScript : sys::fileNameOf(m_state.scriptPath));
    HWND list = item(kCommands);
    ListView_DeleteAllItems(list);
    const BatchDefaults defaults = m_state.defaults();
    for (size_t i = 0; i < m_state.commands.size(); ++i) {
      const std::wstring name = ui::widen(batchCommandName(m_state.commands[i].index));
      const std::wstring description = ui::widen(describeBatchCommand(m_state.commands[i], defaults));
      LVITEMW row{};
      row.mask = LVIF_TEXT;
      row.iItem = static_cast<int>(i);
      row.pszText = const_cast<wchar_t*>(name.c_str());
      ListView_InsertItem(list, &row);
      ListView_SetItemText(list, static_cast<int>(i), 1, const_cast<wchar_t*>(description.c_str()));
    }
    if (select >= 0 && select < static_cast<int>(m_state.commands.size())) {
      ListView_SetItemState(list, select, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(list, select, FALSE);
    }
    enableButtons();
  }

  void enableButtons() {
    const int row = selected();
    enable(kRemove, row >= 0);
    enable(kSettings, row >= 0 && batchCommandHasSettings(m_state.commands[row].index));
  }

  void addCommands() {
    const std::vector<uint32_t> chosen = askBatchCommandsToAdd(handle());
    if (chosen.empty()) return;
    for (uint32_t index : chosen) m_state.commands.push_back(newBatchCommand(index, m_state.defaults()));
    m_state.commandsChanged = true;
    showCommands(static_cast<int>(m_state.commands.size()) - 1);
  }

  void removeCommand() {
    const int row = selected();
    if (row < 0) return;
    m_state.commands.erase(m_state.commands.begin() + row);
    m_state.commandsChanged = true;
    showCommands(std::min(row, static_cast<int>(m_state.commands.size()) - 1));
  }

  void editSettings() {
    const int row = selected();
    if (row < 0) return;
    if (!editBatchCommandSettings(handle(), m_state.store, m_state.dataFolder, m_state.commands[row])) return;
    m_state.commandsChanged = true;
    showCommands(row);
  }

  void openScript() {
    if (!offerToSaveCommands(handle(), m_state)) return;
    const std::string path = askScriptPath(handle(), L"Open Batch Script File", false);
    if (path.empty()) return;
    const BatchScript script = readBatchScriptFile(path);
    m_state.commands.clear();
    m_state.scriptPath.clear();
    m_state.commandsChanged = false;
    switch (script.status) {
      case BatchScriptStatus::Read:
        m_state.commands = script.commands;
        m_state.scriptPath = path;
        break;
      case BatchScriptStatus::Unreadable:
        ui::showMessage(handle(), "Razavo cannot open this file. The file does not exist or may be corrupted.",
                        kFileError, MB_OK | MB_ICONERROR);
        break;
      default:
        ui::showMessage(handle(),
                        "This file does not have the same version with the current Razavo version or it is "
                        "corrupted.",
                        kFileError, MB_OK | MB_ICONERROR);
    }
    showCommands(0);
  }

  void showContextMenu(LPARAM at) {
    enum { kMenuAdd = 1, kMenuRemove, kMenuSettings };
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kMenuAdd, L"&Add");
    AppendMenuW(menu, MF_STRING | (selected() >= 0 ? 0 : MF_GRAYED), kMenuRemove, L"&Remove");
    AppendMenuW(menu, MF_STRING | (IsWindowEnabled(item(kSettings)) ? 0 : MF_GRAYED), kMenuSettings, L"&Settings");
    POINT point{};
    point.x = static_cast<short>(LOWORD(at));
    point.y = static_cast<short>(HIWORD(at));
    if (at == -1) {  // from the keyboard: under the list's corner
      RECT area{};
      GetWindowRect(item(kCommands), &area);
      point = {area.left + 8, area.top + 8};
    }
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, handle(), nullptr);
    DestroyMenu(menu);
    if (chosen == kMenuAdd) addCommands();
    if (chosen == kMenuRemove) removeCommand();
    if (chosen == kMenuSettings) editSettings();
  }

  BatchConverterState& m_state;
};

}  // namespace

std::unique_ptr<BatchPage> makeBatchCommandsPage(BatchConverterState& state) {
  return std::make_unique<BatchCommandsPage>(state);
}

bool offerToSaveCommands(HWND owner, BatchConverterState& state) {
  if (!state.commandsChanged) return true;
  switch (ui::showMessage(owner, "Do you want to save the command list?", "Razavo", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDNO: return true;
    case IDYES: {
      if (state.scriptPath.empty()) return saveScriptAs(owner, state);
      if (writeBatchScriptFile(state.scriptPath, state.commands)) {
        state.commandsChanged = false;
        return true;
      }
      ui::showMessage(owner, "Razavo cannot open this file. The file does not exist or may be corrupted.", kFileError,
                      MB_OK | MB_ICONERROR);
      return false;
    }
    default: return false;
  }
}
