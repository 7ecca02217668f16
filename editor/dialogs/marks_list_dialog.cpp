#include "editor/dialogs/marks_list_dialog.h"

#include <cctype>

#include "ui/text.h"

namespace {

constexpr int kWidth = 330, kListWidth = 220, kButtonHeight = 14, kButtonGap = 4;

ui::DialogTemplate listTemplate(const std::string& title, const std::vector<std::string>& buttons) {
  int rows = static_cast<int>(buttons.size()) + 1;
  int height = std::max(150, 10 + rows * (kButtonHeight + kButtonGap));
  ui::DialogTemplate dialog(title, kWidth, height);
  dialog.listBox(MarksListDialog::kList, 6, 6, kListWidth, height - 12,
                 LBS_EXTENDEDSEL | LBS_USETABSTOPS | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT | WS_VSCROLL |
                     LBS_NOINTEGRALHEIGHT);
  int y = 6;
  for (size_t i = 0; i < buttons.size(); ++i, y += kButtonHeight + kButtonGap)
    dialog.button(MarksListDialog::kFirstButton + static_cast<int>(i), buttons[i], kListWidth + 12, y,
                  kWidth - kListWidth - 18, kButtonHeight);
  dialog.button(IDCANCEL, "Close", kListWidth + 12, y, kWidth - kListWidth - 18, kButtonHeight);
  return dialog;
}

}  // namespace

MarksListDialog::MarksListDialog(const std::string& title, const std::vector<std::string>& buttons)
    : ui::Dialog(listTemplate(title, buttons)) {}

bool MarksListDialog::onInit() {
  // Name, then the further columns, in dialog units.
  INT tabs[] = {110, 160};
  sendItem(kList, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(tabs));
  return true;
}

void MarksListDialog::fill(const std::vector<std::string>& lines, const std::vector<int>& selected) {
  sendItem(kList, LB_RESETCONTENT);
  for (const auto& line : lines) addListItem(kList, line);
  for (int index : selected)
    if (index >= 0 && index < static_cast<int>(lines.size())) sendItem(kList, LB_SETSEL, TRUE, index);
  if (selected.empty() && !lines.empty()) sendItem(kList, LB_SETSEL, TRUE, 0);
}

std::vector<int> MarksListDialog::selectedIndices() const {
  LRESULT count = sendItem(kList, LB_GETSELCOUNT);
  if (count <= 0) return {};
  std::vector<int> indices(static_cast<size_t>(count));
  LRESULT got = sendItem(kList, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(indices.data()));
  indices.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return indices;
}

int MarksListDialog::firstSelected() const {
  std::vector<int> indices = selectedIndices();
  return indices.empty() ? -1 : indices.front();
}

bool MarksListDialog::confirm(const std::string& text, const std::string& caption) {
  return ui::showMessage(handle(), text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MarksListDialog::refuseName(RenameCheck check, const std::string& kind) {
  if (check == RenameCheck::Empty) {
    ui::showMessage(handle(), "The name must contain text.", "Name Invalid", MB_OK | MB_ICONWARNING);
    return;
  }
  std::string lower = kind;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  ui::showMessage(handle(),
                  "The " + lower + " cannot be renamed because another " + lower +
                      " with the same name already exists. Please try another name.",
                  kind + " Name Exists", MB_OK | MB_ICONWARNING);
}

INT_PTR MarksListDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_VKEYTOITEM) {
    if (LOWORD(wParam) == VK_F2) {
      renameSelected();
      return -2;
    }
    if (LOWORD(wParam) == VK_DELETE) {
      deleteSelected();
      return -2;
    }
    return -1;  // the list box does the rest
  }
  return ui::Dialog::handleMessage(message, wParam, lParam);
}

void MarksListDialog::onCommand(int id, int code) {
  if (id == kList && code == LBN_DBLCLK) return activateSelected();
  if (id == IDCANCEL || id == IDOK) ui::Dialog::onCommand(IDCANCEL, code);
}
