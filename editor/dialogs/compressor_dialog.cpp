#include "editor/dialogs/compressor_dialog.h"

#include "editor/model/effect_presets.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kThreshold = 101, kRatio = 102, kLimit = 103, kPresets = 104;

// The compressor measures sound in 45 ms windows; the threshold and the limit
// are in the decibels of that measure, not of a sample's peak.
constexpr const char* kLevelsHint =
    "Levels are the compressor's 45 ms window levels in dB: a full-scale sine reads about 12 dB. "
    "The limit is the highest level the output may reach; 127 means no limit.";

class CompressorDialog : public ui::Dialog {
 public:
  explicit CompressorDialog(CompressorParams& params)
      : ui::Dialog(ui::DialogTemplate(kCompressorName, 220, 132, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(-1, "&Threshold (dB):", 8, 10, 70, 10)
                       .edit(kThreshold, "", 80, 8, 40, 12)
                       .text(-1, "&Ratio:", 8, 28, 70, 10)
                       .comboBox(kRatio, 80, 26, 60, 120)
                       .text(-1, "&Limit (dB):", 8, 46, 70, 10)
                       .edit(kLimit, "", 80, 44, 40, 12)
                       .text(-1, "&Presets:", 8, 64, 70, 10)
                       .comboBox(kPresets, 80, 62, 132, 80)
                       .text(-1, kLevelsHint, 8, 82, 204, 26)
                       .defaultButton(IDOK, "OK", 106, 112, 50, 14)
                       .button(IDCANCEL, "Cancel", 162, 112, 50, 14)),
        m_params(params) {}

 protected:
  bool onInit() override {
    for (const CompressorRatioEntry& ratio : kCompressorRatios) addComboItem(kRatio, ratio.name);
    addComboItem(kPresets, kSelectPresetRow);
    for (const EffectPreset& preset : compressorPresets()) addComboItem(kPresets, preset.name);
    setComboSelection(kPresets, 0);
    show(m_params);
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kPresets && code == CBN_SELCHANGE) {
      if (const EffectPreset* preset = presetAtRow(compressorPresets(), comboSelection(kPresets)))
        show(compressorParamsOf(preset->values));
      return;
    }
    if (id == IDOK) {
      const std::optional<int> threshold = getInt(kThreshold), limit = getInt(kLimit);
      const int ratio = comboSelection(kRatio);
      const CompressorCheck check = checkCompressorValues(threshold, ratio, limit);
      if (check.message) {
        ui::showMessage(handle(), check.message, kInvalidValueCaption, MB_OK | MB_ICONINFORMATION);
        SetFocus(item(check.field == CompressorField::Threshold ? kThreshold
                      : check.field == CompressorField::Ratio   ? kRatio
                                                                : kLimit));
        return;
      }
      m_params = {*threshold, ratio, *limit};
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  // A stored ratio outside the list shows no ratio: the user must pick one.
  void show(const CompressorParams& params) {
    setInt(kThreshold, params.CompressorThreshold);
    setComboSelection(kRatio, kCompressorRatioValue.accepts(params.CompressorRatio) ? params.CompressorRatio : -1);
    setInt(kLimit, params.CompressorLimit);
  }

  CompressorParams& m_params;
};

}  // namespace

bool askCompressor(HWND owner, sys::SettingsStore& store, CompressorParams& params) {
  params = readCompressorParams(store);
  if (CompressorDialog(params).runModal(owner) != IDOK) return false;
  writeCompressorParams(store, params);
  return true;
}
