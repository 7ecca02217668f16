#include "editor/dialogs/noise_repair_dialogs.h"

#include <commctrl.h>

#include <algorithm>

#include "editor/dialogs/percent_preset_dialog.h"
#include "editor/model/effect_presets.h"
#include "editor/model/noise_repair_checks.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

const ValuePresetDialogKind kNoiseGate{
    "Noise Reduction", 101, "Noise Gate Level:", 102, 0, 0, 0, noiseGatePresets(), noiseGateLevelProblem};
const ValuePresetDialogKind kAutoSpectral{"Auto Spectral Noise Reduction",
                                          101,
                                          "Silence to Audio Proportion (%):",
                                          103,
                                          102,
                                          kSsNoiseThresholdValue.minimum,
                                          kSsNoiseThresholdValue.maximum,
                                          autoSpectralSubtractionPresets(),
                                          silenceProportionProblem};

bool askStoredValue(const EffectDialogContext& context, const ValuePresetDialogKind& kind,
                    const EffectParameter& stored) {
  int32_t value = readEffectParameter(context.store, stored);
  if (!askValueWithPresets(context.owner, kind, value)) return false;
  writeEffectParameter(context.store, stored, value);
  return true;
}

bool refuse(const EffectDialogContext& context, const std::optional<Refusal>& refusal) {
  if (!refusal) return true;
  ui::showMessage(context.owner, refusal->message, refusal->caption, MB_OK | MB_ICONERROR);
  return false;
}

// The length shown and stored is in microseconds: the detector takes
// rate * value / 1,000,000 frames.
class ClickRepairDialog : public ui::Dialog {
 public:
  static constexpr int kSensitivity = 101, kMaxLength = 102, kResetDefaults = 103;

  explicit ClickRepairDialog(ClickRepairParams& params)
      : ui::Dialog(ui::DialogTemplate("Auto Click/Pop Restoration ", 232, 104,
                                      ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(-1, "Click Sensivity (%):", 8, 8, 160, 10)
                       .control(TRACKBAR_CLASSW, kSensitivity, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, 0, 8, 20,
                                160, 22)
                       .text(-1, "|- fewer clicks", 8, 44, 70, 10)
                       .text(-1, "more clicks -|", 98, 44, 70, 10, SS_RIGHT)
                       .text(-1, "Maximum Click Length (microseconds):", 8, 64, 130, 10)
                       .edit(kMaxLength, "", 140, 62, 36, 12)
                       .button(kResetDefaults, "Reset Defaults", 8, 82, 70, 14)
                       .defaultButton(IDOK, "OK", 176, 8, 50, 14)
                       .button(IDCANCEL, "Cancel", 176, 26, 50, 14)),
        m_params(params) {}

 protected:
  bool onInit() override {
    sendItem(kSensitivity, TBM_SETRANGE, TRUE,
             MAKELPARAM(kClickSensitivityValue.minimum, kClickSensitivityValue.maximum));
    sendItem(kSensitivity, TBM_SETTICFREQ, 50);
    sendItem(kSensitivity, TBM_SETPAGESIZE, 0, 10);
    show(m_params);
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kResetDefaults) return show({kClickSensitivityValue.defaultValue, kMaxClickLengthOffered});
    if (id == IDOK) {
      const std::optional<int> length = getInt(kMaxLength);
      if (const char* problem = maxClickLengthProblem(length)) {
        ui::showMessage(handle(), problem, kInvalidValueCaption, MB_OK | MB_ICONINFORMATION);
        SetFocus(item(kMaxLength));
        sendItem(kMaxLength, EM_SETSEL, 0, -1);
        return;
      }
      m_params = {static_cast<int32_t>(sendItem(kSensitivity, TBM_GETPOS)), *length};
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  void show(const ClickRepairParams& params) {
    sendItem(kSensitivity, TBM_SETPOS, TRUE,
             std::clamp(params.ClickSensitivity, kClickSensitivityValue.minimum, kClickSensitivityValue.maximum));
    setInt(kMaxLength, params.MaxClickLength);
  }

  ClickRepairParams& m_params;
};

}  // namespace

bool askNoiseGate(const EffectDialogContext& context, EffectRequest&) {
  return askStoredValue(context, kNoiseGate, kNoiseGateLevelValue);
}

bool askAutoSpectralSubtraction(const EffectDialogContext& context, EffectRequest&) {
  return askStoredValue(context, kAutoSpectral, kSsNoiseThresholdValue);
}

bool askClickRepair(const EffectDialogContext& context, EffectRequest&) {
  // Never stored, the dialog offers the longer length.
  EffectParameter offeredLength = kMaxClickLengthValue;
  offeredLength.defaultValue = kMaxClickLengthOffered;
  ClickRepairParams params{readEffectParameter(context.store, kClickSensitivityValue),
                           readEffectParameter(context.store, offeredLength)};
  if (ClickRepairDialog(params).runModal(context.owner) != IDOK) return false;
  writeEffectParameter(context.store, kClickSensitivityValue, params.ClickSensitivity);
  writeEffectParameter(context.store, kMaxClickLengthValue, params.MaxClickLength);
  return true;
}

bool checkNoiseSample(const EffectDialogContext& context, EffectRequest& request) {
  return refuse(context, noiseSampleRefusal(request.noiseSample.get(), *context.preview.sound));
}

bool checkManualRepairArea(const EffectDialogContext& context, EffectRequest&) {
  const PreviewInput& view = context.preview;
  const int32_t frames = view.selectionEnd > view.selectionStart ? view.selectionEnd - view.selectionStart
                                                                  : view.sound->totalFrames();
  return refuse(context, manualClickRepairRefusal(frames, view.sound->sampleRate()));
}
