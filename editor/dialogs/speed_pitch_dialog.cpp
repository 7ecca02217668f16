#include "editor/dialogs/speed_pitch_dialog.h"

#include <cstdint>
#include <optional>
#include <string>

#include "editor/dialogs/preview_dialog.h"
#include "effects/speed_pitch.h"
#include "ui/text.h"

namespace {

constexpr int kPercent = 101, kLabel = 100;

constexpr const char* kHelpText =
    "Speed and Pitch Change plays the selection faster or slower, as a tape would: 200 % makes it half as long "
    "and an octave higher, 50 % twice as long and an octave lower.\n\n"
    "Speed Change makes the selection faster or slower and keeps its pitch: 200 % makes it half as long, "
    "50 % twice as long.\n\n"
    "Pitch Change raises or lowers the pitch and keeps the length: 200 % is an octave higher, "
    "50 % an octave lower.\n\n"
    "Values up to 300 % are accepted; values below 10 % count as 10 %. Preview plays the first ten seconds "
    "of the selection (of the file when nothing is selected) changed by the value entered.";

class SpeedPitchDialog : public PreviewDialog {
 public:
  SpeedPitchDialog(const char* title, const PreviewInput& input, int32_t percent)
      : PreviewDialog(ui::DialogTemplate(title, 230, 52, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(kLabel, "", 8, 10, 110, 10)
                       .edit(kPercent, "", 120, 8, 50, 12)
                       .button(kPreviewButtonId, kPreviewButtonText, 8, 30, 50, 14)
                       .defaultButton(IDOK, "OK", 68, 30, 50, 14)
                       .button(IDCANCEL, "Cancel", 122, 30, 50, 14)
                       .button(IDHELP, "&Help", 176, 30, 46, 14),
                      input),
        percent(percent) {}

  int32_t percent;

 protected:
  bool onInit() override {
    // The title tells the mode: one dialog serves the three commands.
    m_mode = speedPitchModeForTitle(ui::narrow(windowTitle()));
    setText(kLabel, kSpeedPitchLabels[static_cast<int>(m_mode)]);
    setText(kPercent, std::to_string(percent));
    return true;
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case IDHELP:
        ui::showMessage(handle(), kHelpText, ui::narrow(windowTitle()) + " Help", MB_OK | MB_ICONINFORMATION);
        return;
    }
    PreviewDialog::onCommand(id, code);
  }

  bool accept() override {
    std::optional<int32_t> value = readPercent();
    if (value) percent = *value;
    return value.has_value();
  }

 private:
  std::wstring windowTitle() const {
    wchar_t title[128] = {};
    GetWindowTextW(handle(), title, 128);
    return title;
  }

  // The value of the edit when it is one the effect takes; otherwise says
  // why not and gives nothing.
  std::optional<int32_t> readPercent() {
    std::optional<int> value = getInt(kPercent);
    // The value is kept as a signed 16-bit number; smaller ones are no percentage.
    if (!value || *value < speedPitchValue(m_mode).minimum) {
      ui::showMessage(handle(), "Please enter the percentage as a whole number, for example 150.",
                      kSpeedPercentCaption, MB_OK | MB_ICONINFORMATION);
    } else if (!speedPitchValue(m_mode).accepts(*value)) {
      ui::showMessage(handle(), kSpeedPercentTooLarge, kSpeedPercentCaption, MB_OK | MB_ICONINFORMATION);
    } else {
      return *value;
    }
    SetFocus(item(kPercent));
    sendItem(kPercent, EM_SETSEL, 0, -1);
    return std::nullopt;
  }

  void preview() override {
    std::optional<int32_t> value;
    if (!m_preview.playing() && !(value = readPercent())) return;
    const PreviewInput& input = m_preview.input();
    const PreviewRange range = selectionPreviewRange(input.sound->totalFrames(), input.sound->sampleRate(),
                                                     input.selectionStart, input.selectionEnd);
    const SpeedPitchMode mode = m_mode;
    const int32_t chosen = value.value_or(percent);
    m_preview.toggle(handle(), range, [mode, chosen](SoundBuffer& piece, int32_t start, int32_t end, ProgressCallback* p) {
      return changeSpeedOrPitch(piece, start, end, mode, chosen, p).result;
    });
  }

  SpeedPitchMode m_mode = SpeedPitchMode::SpeedAndPitch;
};

}  // namespace

bool askSpeedPitch(HWND owner, const char* title, const PreviewInput& preview, int32_t& percent) {
  SpeedPitchDialog dialog(title, preview, percent);
  if (dialog.runModal(owner) != IDOK) return false;
  percent = dialog.percent;
  return true;
}
