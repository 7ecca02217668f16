// "DirectX Plugins": the system's audio effects by name and "Settings",
// which shows the chosen effect's property pages.

#include <vector>

#include "editor/dialogs/plugin_dialogs.h"
#include "effects/win32/directx_effects.h"
#include "ui/dialog.h"

namespace {

constexpr int kEffects = 101, kSettings = 102;

class DirectXPluginDialog : public ui::Dialog {
 public:
  DirectXPluginDialog() : ui::Dialog(build()) {}

  std::optional<CLSID> chosen;

 protected:
  bool onInit() override {
    m_effects = listDirectXEffects();
    for (const DirectXEffectEntry& effect : m_effects) addComboItem(kEffects, effect.name);
    if (!m_effects.empty()) setComboSelection(kEffects, 0);
    enable(kSettings, !m_effects.empty());
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kSettings) {
      if (const DirectXEffectEntry* effect = selected()) showDirectXEffectProperties(handle(), effect->classId);
      return;
    }
    if (id == IDOK) {
      if (const DirectXEffectEntry* effect = selected()) chosen = effect->classId;
    }
    if (id == kEffects) return;
    ui::Dialog::onCommand(id, code);
  }

 private:
  static ui::DialogTemplate build() {
    ui::DialogTemplate dialog("DirectX Plugins", 240, 64, ui::DialogTemplate::kDefaultStyle | DS_CENTER);
    dialog.text(-1, "DirectX &Plugins:", 8, 8, 160, 10)
        .comboBox(kEffects, 8, 20, 166, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
        .button(kSettings, "&Settings", 182, 19, 50, 14)
        .defaultButton(IDOK, "OK", 126, 44, 50, 14)
        .button(IDCANCEL, "Cancel", 182, 44, 50, 14);
    return dialog;
  }

  const DirectXEffectEntry* selected() const {
    const int index = comboSelection(kEffects);
    return index >= 0 && index < static_cast<int>(m_effects.size()) ? &m_effects[index] : nullptr;
  }

  std::vector<DirectXEffectEntry> m_effects;
};

}  // namespace

std::optional<CLSID> chooseDirectXEffect(HWND owner) {
  DirectXPluginDialog dialog;
  if (dialog.runModal(owner) != IDOK) return std::nullopt;
  return dialog.chosen;
}
