#include "recorder/options/hot_keys_page.h"

#include <commctrl.h>

#include "ui/text.h"

namespace recorder {

namespace {

std::string keyName(uint32_t virtualKey) {
  UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  // Keys of the navigation block share scan codes with the number pad: the
  // extended bit names them as they are on the keyboard.
  switch (virtualKey) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
      scan |= 0x100;
      break;
    default:
      break;
  }
  wchar_t name[64] = {};
  if (scan != 0 && GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 64) > 0) return ui::narrow(name);
  return "Key " + std::to_string(virtualKey);
}

// The key-capture dialog.
class HotKeyDialog : public ui::Dialog {
 public:
  static constexpr int kCapture = 101, kShown = 102, kCommand = 103;
  explicit HotKeyDialog(HotKey& key)
      : ui::Dialog(ui::DialogTemplate("Assign Hot Key", 220, 110)
                       .text(-1, "Press key or key combination.", 8, 8, 200, 10)
                       .control(HOTKEY_CLASSW, kCapture, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 8,
                                22, 204, 14)
                       .text(kShown, "", 8, 42, 204, 10)
                       .text(-1, "Command:", 8, 60, 40, 10)
                       .comboBox(kCommand, 52, 58, 160, 100, CBS_DROPDOWNLIST)
                       .defaultButton(IDOK, "OK", 106, 88, 50, 14)
                       .button(IDCANCEL, "Cancel", 162, 88, 50, 14)),
        m_key(key) {}

 protected:
  bool onInit() override {
    for (int i = 0; i < kHotKeyCommandCount; ++i) addComboItem(kCommand, hotKeyCommandName(static_cast<HotKeyCommand>(i)));
    setComboSelection(kCommand, static_cast<int>(m_key.command));
    sendItem(kCapture, HKM_SETHOTKEY, toControl(m_key.key));
    showKey();
    SetFocus(item(kCapture));
    return false;
  }
  void onCommand(int id, int code) override {
    if (id == kCapture && code == EN_CHANGE) showKey();
    if (id == IDOK) {
      const uint32_t key = captured();
      if ((key & 0xFFFF) == 0) {
        ui::showMessage(handle(), "Press key or key combination.", "Assign Hot Key", MB_OK | MB_ICONINFORMATION);
        SetFocus(item(kCapture));
        return;
      }
      m_key.key = key;
      m_key.command = static_cast<HotKeyCommand>(std::max(0, comboSelection(kCommand)));
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  // The control keeps HOTKEYF_SHIFT, _CONTROL and _ALT above the key code.
  static WPARAM toControl(uint32_t key) {
    WORD modifiers = 0;
    if (key & kHotKeyShift) modifiers |= HOTKEYF_SHIFT;
    if (key & kHotKeyCtrl) modifiers |= HOTKEYF_CONTROL;
    if (key & kHotKeyAlt) modifiers |= HOTKEYF_ALT;
    return MAKEWORD(key & 0xFF, modifiers);
  }
  uint32_t captured() const {
    const WORD value = LOWORD(sendItem(kCapture, HKM_GETHOTKEY));
    const BYTE modifiers = HIBYTE(value);
    uint32_t key = LOBYTE(value);
    if (modifiers & HOTKEYF_SHIFT) key |= kHotKeyShift;
    if (modifiers & HOTKEYF_CONTROL) key |= kHotKeyCtrl;
    if (modifiers & HOTKEYF_ALT) key |= kHotKeyAlt;
    return key;
  }
  void showKey() {
    const uint32_t key = captured();
    setText(kShown, (key & 0xFFFF) ? hotKeyText(key) : "");
  }

  HotKey& m_key;
};

}  // namespace

std::string hotKeyText(uint32_t key) { return hotKeyModifierText(key) + keyName(key & 0xFFFF); }

bool captureHotKey(HWND owner, HotKey& key) {
  HotKey edited = key;
  HotKeyDialog dialog(edited);
  if (dialog.runModal(owner) != IDOK) return false;
  key = edited;
  return true;
}

HotKeysPage::HotKeysPage(RecorderSettings& settings, const OptionsContext& context, OptionsOutcome& outcome)
    : OptionPage(layout("Hot Keys")
                     .groupBox(-1, "System-Wide Hot Key Assignment", 8, 8, 244, 180)
                     .listBox(kList, 16, 22, 170, 160, WS_VSCROLL | LBS_NOTIFY)
                     .button(kAdd, "Add...", 192, 22, 54, 14)
                     .button(kRemove, "Remove", 192, 40, 54, 14)
                     .button(kChange, "Change...", 192, 58, 54, 14),
                 context),
      m_settings(settings),
      m_outcome(outcome) {}

bool HotKeysPage::onInit() {
  m_keys = m_settings.hotKeys();
  fill(0);
  return true;
}

void HotKeysPage::fill(int select) {
  sendItem(kList, LB_RESETCONTENT);
  for (const HotKey& key : m_keys)
    addListItem(kList, hotKeyText(key.key) + "  -  " + hotKeyCommandName(key.command));
  if (!m_keys.empty()) setListSelection(kList, std::clamp(select, 0, static_cast<int>(m_keys.size()) - 1));
  enable(kRemove, !m_keys.empty());
  enable(kChange, !m_keys.empty());
}

void HotKeysPage::onCommand(int id, int code) {
  const int selected = listSelection(kList);
  if (id == kAdd) {
    HotKey key;
    if (!captureHotKey(handle(), key)) return;
    m_keys.push_back(key);
    fill(static_cast<int>(m_keys.size()) - 1);
  } else if (id == kRemove && selected >= 0 && selected < static_cast<int>(m_keys.size())) {
    m_keys.erase(m_keys.begin() + selected);
    fill(selected);
  } else if ((id == kChange || (id == kList && code == LBN_DBLCLK)) && selected >= 0 &&
             selected < static_cast<int>(m_keys.size())) {
    if (!captureHotKey(handle(), m_keys[selected])) return;
    fill(selected);
  } else {
    return;
  }
  m_changed = true;
}

void HotKeysPage::apply() {
  if (!m_changed) return;
  m_settings.setHotKeys(m_keys);
  m_outcome.keysChanged = true;
}

}  // namespace recorder
