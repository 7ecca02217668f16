#include "editor/dialogs/vst_configuration_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kParameters = 101;
constexpr int kValue = 101;
constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleIntervalMs = 50;
constexpr int kListWidthPixels = 460, kListHeightPixels = 320;
constexpr int32_t kEditIdle = 19;  // lets an open editor redraw and animate

// The rectangle a plug-in reports for its editor, in pixels.
struct VstEditorRect {
  int16_t top, left, bottom, right;
};

std::string valueText(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return text;
}

// "Please input the new value": one edit box; nothing when cancelled or the
// text is no number.
class ValuePrompt : public ui::Dialog {
 public:
  explicit ValuePrompt(std::string value) : ui::Dialog(build()), m_value(std::move(value)) {}
  std::optional<float> ask(HWND owner) {
    if (runModal(owner) != IDOK) return std::nullopt;
    const char* begin = m_value.c_str();
    char* end = nullptr;
    const float value = std::strtof(begin, &end);
    if (end == begin) return std::nullopt;
    return value;
  }

 protected:
  bool onInit() override {
    setText(kValue, m_value);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) m_value = getText(kValue);
    ui::Dialog::onCommand(id, code);
  }

 private:
  static ui::DialogTemplate build() {
    ui::DialogTemplate dialog("VST Configuration", 180, 64, ui::DialogTemplate::kDefaultStyle | DS_CENTER);
    dialog.text(-1, "Please input the new value", 8, 8, 164, 10)
        .edit(kValue, "", 8, 22, 164, 12)
        .defaultButton(IDOK, "OK", 66, 44, 50, 14)
        .button(IDCANCEL, "Cancel", 122, 44, 50, 14);
    return dialog;
  }
  std::string m_value;
};

class VstConfigurationDialog : public ui::Dialog {
 public:
  explicit VstConfigurationDialog(VstPlugin& plugin) : ui::Dialog(build()), m_plugin(plugin) {}

 protected:
  bool onInit() override {
    if (m_plugin.hasEditor()) {
      ShowWindow(item(kParameters), SW_HIDE);
      ShowWindow(item(IDOK), SW_HIDE);
      ShowWindow(item(IDCANCEL), SW_HIDE);
      m_plugin.dispatch(vstop::kEditOpen, 0, 0, handle());
      m_editorOpen = true;
      fitToEditor();
      SetTimer(handle(), kIdleTimer, kIdleIntervalMs, nullptr);
      return true;
    }
    SetWindowPos(handle(), nullptr, 0, 0, kListWidthPixels, kListHeightPixels, SWP_NOMOVE | SWP_NOZORDER);
    layoutList();
    fillParameters();
    return true;
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_TIMER:
        if (wParam == kIdleTimer && m_editorOpen) m_plugin.dispatch(kEditIdle);
        return TRUE;
      case WM_SIZE:
        if (!m_plugin.hasEditor()) layoutList();
        return TRUE;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kParameters && header->code == NM_DBLCLK)
          changeParameter(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
        return TRUE;
      }
      case WM_DESTROY:
        closeEditor();
        break;
    }
    return ui::Dialog::handleMessage(message, wParam, lParam);
  }

  void onCommand(int id, int code) override {
    if (id == IDOK || id == IDCANCEL) closeEditor();
    ui::Dialog::onCommand(id, code);
  }

 private:
  static ui::DialogTemplate build() {
    ui::DialogTemplate dialog("VST Configuration", 300, 200,
                              ui::DialogTemplate::kDefaultStyle | DS_CENTER | WS_THICKFRAME);
    dialog
        .control(WC_LISTVIEWW, kParameters, "",
                 WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0,
                 4, 4, 292, 172)
        .defaultButton(IDOK, "OK", 190, 182, 50, 14)
        .button(IDCANCEL, "Cancel", 246, 182, 50, 14);
    return dialog;
  }

  void fitToEditor() {
    VstEditorRect* rect = nullptr;
    m_plugin.dispatch(vstop::kEditGetRect, 0, 0, &rect);
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) return;
    RECT frame{0, 0, rect->right - rect->left, rect->bottom - rect->top};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE)));
    SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  }

  // The list fills the dialog above the buttons, which keep to the corner.
  void layoutList() {
    RECT client;
    GetClientRect(handle(), &client);
    RECT button{0, 0, 50, 14};
    MapDialogRect(handle(), &button);
    const int margin = 6;
    const int buttonTop = client.bottom - margin - button.bottom;
    MoveWindow(item(kParameters), margin, margin, client.right - 2 * margin, buttonTop - 2 * margin, TRUE);
    MoveWindow(item(IDCANCEL), client.right - margin - button.right, buttonTop, button.right, button.bottom, TRUE);
    MoveWindow(item(IDOK), client.right - 2 * (margin + button.right), buttonTop, button.right, button.bottom, TRUE);
  }

  void fillParameters() {
    HWND list = item(kParameters);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    addColumn(0, L"Parameter", 200);
    addColumn(1, L"Value", 180);
    for (int32_t index = 0; index < m_plugin.parameterCount(); ++index) {
      std::wstring name = ui::widen(m_plugin.parameterName(index));
      LVITEMW row{};
      row.mask = LVIF_TEXT;
      row.iItem = index;
      row.pszText = name.data();
      ListView_InsertItem(list, &row);
      showValue(index, m_plugin.parameter(index));
    }
  }

  void addColumn(int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    ListView_InsertColumn(item(kParameters), index, &column);
  }

  void showValue(int index, float value) {
    std::wstring text = ui::widen(valueText(value));
    ListView_SetItemText(item(kParameters), index, 1, text.data());
  }

  void changeParameter(int index) {
    if (index < 0 || index >= m_plugin.parameterCount()) return;
    ValuePrompt prompt(valueText(m_plugin.parameter(index)));
    if (std::optional<float> value = prompt.ask(handle())) {
      showValue(index, *value);
      m_plugin.setParameter(index, *value);
    }
  }

  void closeEditor() {
    if (!m_editorOpen) return;
    KillTimer(handle(), kIdleTimer);
    m_plugin.dispatch(vstop::kEditClose);
    m_editorOpen = false;
  }

  VstPlugin& m_plugin;
  bool m_editorOpen = false;
};

}  // namespace

void showVstConfiguration(HWND owner, VstPlugin& plugin) {
  VstConfigurationDialog dialog(plugin);
  dialog.runModal(owner);
}
