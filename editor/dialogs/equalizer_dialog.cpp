#include "editor/dialogs/equalizer_dialog.h"

#include <cmath>
#include <functional>

#include "editor/dialogs/envelope_curve_control.h"
#include "editor/dialogs/preview_dialog.h"
#include "editor/model/effect_presets.h"
#include "editor/model/equalizer_presets.h"
#include "effects/delay_filter_effects.h"
#include "ui/text.h"

namespace {

constexpr int kCurve = 101, kSetFlat = 102, kReadout = 103, kPresets = 105, kSettings = 106;
constexpr int kStart = 101, kEnd = 102, kFrequency = 103, kSlope = 104, kAmplitude = 105, kResetDefaults = 106,
              kUpdateGraph = 107;

int positionOfHertz(double hz) { return static_cast<int>(std::lround(equalizerPosition(hz))); }

// Grid lines at 100 Hz, 1 kHz, 5 kHz and 10 kHz.
std::vector<int> frequencyGrid() {
  return {positionOfHertz(100), positionOfHertz(1000), positionOfHertz(5000), positionOfHertz(10000)};
}

std::vector<EnvelopeCurveControl::AxisLabel> frequencyLabels() {
  return {{0, L"0 Hz"},
          {positionOfHertz(1000), L"1k"},
          {positionOfHertz(5000), L"5k"},
          {positionOfHertz(10000), L"10k"},
          {255, L"20 kHz"}};
}

ui::DialogTemplate settingsTemplate(const EqualizerPresetInfo& kind) {
  ui::DialogTemplate dialog(kind.settingsTitle, 200, kind.band ? 118 : 100, ui::DialogTemplate::kDefaultStyle);
  short y = 8;
  auto row = [&](int id, const char* label) {
    dialog.text(-1, label, 8, static_cast<short>(y + 2), 120, 10).edit(id, "", 132, y, 60, 12);
    y = static_cast<short>(y + 18);
  };
  if (kind.band) {
    row(kStart, "Start Frequency (Hz):");
    row(kEnd, "End Frequency (Hz):");
  } else {
    row(kFrequency, kind.frequencyLabel);
  }
  row(kSlope, kind.band ? "Slope Length (Hz):" : "Slope Length (Hz)");
  row(kAmplitude, kind.band ? "Amplitude (%):" : "Amplitude (%)");
  y = static_cast<short>(y + 4);
  dialog.button(kResetDefaults, "Reset Defaults", 8, y, 60, 14)
      .button(kUpdateGraph, "Update Graph", 72, y, 60, 14)
      .defaultButton(IDOK, "OK", 8, static_cast<short>(y + 18), 60, 14)
      .button(IDCANCEL, "Cancel", 72, static_cast<short>(y + 18), 60, 14);
  return dialog;
}

// The settings of one preset kind. Update Graph and OK hand the curve to the
// equalizer; the window opens where it was last closed.
class EqualizerSettingsDialog : public ui::Dialog {
 public:
  EqualizerSettingsDialog(const EqualizerPresetInfo& kind, sys::SettingsStore& store,
                          std::function<void(const EnvelopeCurve&)> showCurve)
      : ui::Dialog(settingsTemplate(kind)), m_kind(kind), m_store(store), m_showCurve(std::move(showCurve)) {}

 protected:
  bool onInit() override {
    show(readEqualizerSettings(m_store, m_kind));
    const long long x = m_store.readNumber(kEffectValuesSection, kEqWindowX, -1);
    const long long y = m_store.readNumber(kEffectValuesSection, kEqWindowY, -1);
    if (x >= 0 && y >= 0 && x < 16384 && y < 16384)
      SetWindowPos(handle(), nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case kResetDefaults:
        show(defaultEqualizerSettings(m_kind));
        return;
      case kUpdateGraph: {
        EqualizerPresetSettings settings;
        if (read(settings)) m_showCurve(equalizerPresetCurve(m_kind, settings));
        return;
      }
      case IDOK: {
        EqualizerPresetSettings settings;
        if (!read(settings)) return;
        writeEqualizerSettings(m_store, m_kind, settings);
        m_showCurve(equalizerPresetCurve(m_kind, settings));
        break;
      }
      case IDCANCEL:
        break;
      default:
        return;
    }
    RECT place{};
    if (GetWindowRect(handle(), &place)) {
      m_store.writeNumber(kEffectValuesSection, kEqWindowX, place.left);
      m_store.writeNumber(kEffectValuesSection, kEqWindowY, place.top);
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  void show(const EqualizerPresetSettings& settings) {
    if (m_kind.band) {
      setInt(kStart, settings.StartFreq);
      setInt(kEnd, settings.EndFreq);
    } else {
      setInt(kFrequency, settings.Freq);
    }
    setInt(kSlope, settings.Slope);
    setInt(kAmplitude, settings.Amplitude);
  }

  bool read(EqualizerPresetSettings& settings) {
    const std::optional<int> start = m_kind.band ? getInt(kStart) : 0, end = m_kind.band ? getInt(kEnd) : 0;
    const std::optional<int> frequency = m_kind.band ? 0 : getInt(kFrequency);
    const std::optional<int> slope = getInt(kSlope), amplitude = getInt(kAmplitude);
    if (const char* problem = equalizerSettingsProblem(m_kind, start, end, frequency, slope, amplitude)) {
      ui::showMessage(handle(), problem, kInvalidValueCaption, MB_OK | MB_ICONINFORMATION);
      return false;
    }
    settings = {*start, *end, *frequency, *slope, *amplitude};
    return true;
  }

  const EqualizerPresetInfo& m_kind;
  sys::SettingsStore& m_store;
  std::function<void(const EnvelopeCurve&)> m_showCurve;
};

class EqualizerDialog : public PreviewDialog {
 public:
  EqualizerDialog(const EffectDialogContext& context, EnvelopeCurve& curve, int32_t& preset)
      : PreviewDialog(ui::DialogTemplate(kEqualizerName, 316, 232, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                          .control(EnvelopeCurveControl::kClassName, kCurve, "",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 8, 8, 300, 150)
                          .text(kReadout, "", 8, 162, 300, 10)
                          .text(-1, "&Presets:", 8, 178, 34, 10)
                          .comboBox(kPresets, 44, 176, 100, 120)
                          .button(kSettings, "Settings", 150, 176, 50, 14)
                          .button(kSetFlat, "Set &Flat", 206, 176, 50, 14)
                          .button(kPreviewButtonId, kPreviewButtonText, 8, 210, 50, 14)
                          .defaultButton(IDOK, "OK", 202, 210, 50, 14)
                          .button(IDCANCEL, "Cancel", 258, 210, 50, 14),
                      context.preview),
        m_store(context.store),
        m_curve(curve),
        m_preset(preset) {}

 protected:
  bool onInit() override {
    control().setAxis(equalizerPointText, frequencyGrid(), frequencyLabels());
    control().setCurve(m_curve);
    addComboItem(kPresets, kSelectPresetRow);
    for (const EqualizerPresetInfo& kind : equalizerPresetKinds()) addComboItem(kPresets, kind.name);
    setComboSelection(kPresets, equalizerPresetAtRow(m_preset) ? m_preset : 0);
    return true;
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case kCurve:
        if (code == EnvelopeCurveControl::kReadoutChanged) setText(kReadout, control().readout());
        return;
      case kSetFlat:
        control().setCurve(flatEnvelope());
        return;
      case kPresets:
        if (code == CBN_SELCHANGE)
          if (const EqualizerPresetInfo* kind = equalizerPresetAtRow(comboSelection(kPresets)))
            control().setCurve(equalizerPresetCurve(*kind, readEqualizerSettings(m_store, *kind)));
        return;
      case kSettings:
        openSettings();
        return;
    }
    PreviewDialog::onCommand(id, code);
  }

  bool accept() override {
    m_curve = control().curve();
    m_preset = std::max(0, comboSelection(kPresets));
    return true;
  }

  void preview() override {
    const EnvelopeCurve curve = control().curve();
    const PreviewInput& input = m_preview.input();
    const PreviewRange range = selectionPreviewRange(input.sound->totalFrames(), input.sound->sampleRate(),
                                                     input.selectionStart, input.selectionEnd);
    m_preview.toggle(handle(), range, [curve](SoundBuffer& piece, int32_t start, int32_t end, ProgressCallback* p) {
      return equalizer(piece, start, end, curve, p);
    });
  }

 private:
  void openSettings() {
    const EqualizerPresetInfo* kind = equalizerPresetAtRow(comboSelection(kPresets));
    if (!kind) {
      ui::showMessage(handle(), kEqualizerNeedsPreset, "Settings", MB_OK | MB_ICONINFORMATION);
      return;
    }
    EqualizerSettingsDialog(*kind, m_store, [this](const EnvelopeCurve& curve) { control().setCurve(curve); })
        .runModal(handle());
  }

  EnvelopeCurveControl& control() const { return *EnvelopeCurveControl::of(item(kCurve)); }

  sys::SettingsStore& m_store;
  EnvelopeCurve& m_curve;
  int32_t& m_preset;
};

}  // namespace

bool askEqualizer(const EffectDialogContext& context, EffectRequest& request) {
  if (!EnvelopeCurveControl::registerClass(GetModuleHandleW(nullptr))) return false;
  EnvelopeCurve curve = loadEqualizerFile(context.dataFolder);
  int32_t preset = readEffectParameter(context.store, kEqPresetValue);
  if (EqualizerDialog(context, curve, preset).runModal(context.owner) != IDOK) return false;
  writeEffectParameter(context.store, kEqPresetValue, preset);
  if (!saveEqualizerFile(context.dataFolder, curve)) {
    // The curve still applies this time; only remembering it failed.
    ui::showMessage(context.owner, "The equalizer curve could not be saved in " +
                                       equalizerFilePath(context.dataFolder) + ".",
                    "File Error", MB_OK | MB_ICONERROR);
  }
  request.curve = curve;
  return true;
}
