#include "editor/dialogs/percent_preset_dialog.h"

#include <commctrl.h>

#include <span>

#include "editor/model/effect_presets.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kPresetList = 103;

const ValuePresetDialogKind kAmplify{
    kAmplifyName, 101, "&Amplify Gain (%):", kPresetList, 0, 0, 0, amplifyPresets(), amplifyGainProblem};
const ValuePresetDialogKind kNormalize{kNormalizeName,     102, "&Normalize Peak Level (%):", kPresetList, 0, 0, 0,
                                       normalizePresets(), normalizePeakLevelProblem};

ui::DialogTemplate layoutOf(const ValuePresetDialogKind& kind) {
  ui::DialogTemplate layout(kind.title, 238, 104, ui::DialogTemplate::kDefaultStyle | DS_CENTER);
  layout.text(-1, kind.label, 8, 10, 122, 10).edit(kind.editId, "", 132, 8, 40, 12);
  // The up-down takes the control before it as its buddy.
  if (kind.spinId)
    layout.control(UPDOWN_CLASSW, kind.spinId, "",
                   WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 0, 0, 0,
                   10, 12);
  return layout.text(-1, "&Presets:", 8, 28, 96, 10)
      .listBox(kind.listId, 8, 40, 120, 58)
      .defaultButton(IDOK, "OK", 180, 8, 50, 14)
      .button(IDCANCEL, "Cancel", 180, 26, 50, 14);
}

class PercentPresetDialog : public ui::Dialog {
 public:
  PercentPresetDialog(const ValuePresetDialogKind& kind, int32_t& percent)
      : ui::Dialog(layoutOf(kind)),
        m_kind(kind),
        m_percent(percent) {}

 protected:
  bool onInit() override {
    if (m_kind.spinId) sendItem(m_kind.spinId, UDM_SETRANGE32, m_kind.spinLow, m_kind.spinHigh);
    setInt(m_kind.editId, m_percent);
    addListItem(m_kind.listId, kSelectPresetRow);
    for (const EffectPreset& preset : m_kind.presets) addListItem(m_kind.listId, preset.name);
    setListSelection(m_kind.listId, 0);
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == m_kind.listId && code == LBN_SELCHANGE) {
      if (const EffectPreset* preset = presetAtRow(m_kind.presets, listSelection(m_kind.listId)))
        setInt(m_kind.editId, preset->values[0]);
      return;
    }
    if (id == IDOK) {
      const std::optional<int> percent = getInt(m_kind.editId);
      if (const char* problem = m_kind.problem(percent)) {
        ui::showMessage(handle(), problem, kInvalidValueCaption, MB_OK | MB_ICONINFORMATION);
        SetFocus(item(m_kind.editId));
        sendItem(m_kind.editId, EM_SETSEL, 0, -1);
        return;
      }
      m_percent = *percent;
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  const ValuePresetDialogKind& m_kind;
  int32_t& m_percent;
};

}  // namespace

bool askAmplify(HWND owner, sys::SettingsStore& store, AmplifyParams& params) {
  params = readAmplifyParams(store);
  if (PercentPresetDialog(kAmplify, params.AmplifyGain).runModal(owner) != IDOK) return false;
  writeAmplifyParams(store, params);
  return true;
}

bool askNormalize(HWND owner, sys::SettingsStore& store, NormalizeParams& params) {
  params = readNormalizeParams(store);
  if (PercentPresetDialog(kNormalize, params.NormalizePeakLevel).runModal(owner) != IDOK) return false;
  writeNormalizeParams(store, params);
  return true;
}

bool askValueWithPresets(HWND owner, const ValuePresetDialogKind& kind, int32_t& value) {
  int32_t asked = value;
  if (PercentPresetDialog(kind, asked).runModal(owner) != IDOK) return false;
  value = asked;
  return true;
}
