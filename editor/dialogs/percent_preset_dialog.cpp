#include "editor/dialogs/percent_preset_dialog.h"

#include <span>

#include "editor/model/effect_presets.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kPresetList = 103;

struct PercentDialogKind {
  const char* title;
  int editId;
  const char* label;
  std::span<const EffectPreset> presets;
  const char* (*problem)(std::optional<int> percent);
};

const PercentDialogKind kAmplify{kAmplifyName, 101, "&Amplify Gain (%):", amplifyPresets(), amplifyGainProblem};
const PercentDialogKind kNormalize{kNormalizeName, 102, "&Normalize Peak Level (%):", normalizePresets(),
                                   normalizePeakLevelProblem};

class PercentPresetDialog : public ui::Dialog {
 public:
  PercentPresetDialog(const PercentDialogKind& kind, int32_t& percent)
      : ui::Dialog(ui::DialogTemplate(kind.title, 196, 104, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(-1, kind.label, 8, 10, 96, 10)
                       .edit(kind.editId, "", 106, 8, 40, 12)
                       .text(-1, "&Presets:", 8, 28, 96, 10)
                       .listBox(kPresetList, 8, 40, 120, 58)
                       .defaultButton(IDOK, "OK", 138, 8, 50, 14)
                       .button(IDCANCEL, "Cancel", 138, 26, 50, 14)),
        m_kind(kind),
        m_percent(percent) {}

 protected:
  bool onInit() override {
    setInt(m_kind.editId, m_percent);
    addListItem(kPresetList, kSelectPresetRow);
    for (const EffectPreset& preset : m_kind.presets) addListItem(kPresetList, preset.name);
    setListSelection(kPresetList, 0);
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kPresetList && code == LBN_SELCHANGE) {
      if (const EffectPreset* preset = presetAtRow(m_kind.presets, listSelection(kPresetList)))
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
  const PercentDialogKind& m_kind;
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
