#include "editor/dialogs/sample_rate_dialog.h"

#include <optional>
#include <string>

#include "effects/speed_pitch.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kRate = 101;

class SampleRateDialog : public ui::Dialog {
 public:
  explicit SampleRateDialog(int32_t rate)
      : ui::Dialog(ui::DialogTemplate(kConvertSampleRateName, 200, 62, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       // Editable: any rate may be typed, not just the ones listed.
                       .text(-1, "&New sample rate (samples per second):", 8, 8, 184, 10)
                       .control(L"ComboBox", kRate, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 0, 8,
                                20, 90, 120)
                       .defaultButton(IDOK, "OK", 86, 42, 50, 14)
                       .button(IDCANCEL, "Cancel", 142, 42, 50, 14)),
        rate(rate) {}

  int32_t rate;

 protected:
  bool onInit() override {
    for (int32_t choice : kSampleRateChoices) addComboItem(kRate, std::to_string(choice));
    setText(kRate, std::to_string(rate));
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == IDOK) {
      std::optional<int> value = getInt(kRate);
      if (!value || !convertRateAccepted(*value)) {
        // The message has no caption of its own.
        ui::showMessage(handle(), kSampleRateOutOfRange, "", MB_OK | MB_ICONERROR);
        SetFocus(item(kRate));
        return;
      }
      rate = *value;
    }
    ui::Dialog::onCommand(id, code);
  }
};

}  // namespace

bool askSampleRate(HWND owner, int32_t current, int32_t& rate) {
  SampleRateDialog dialog(current);
  if (dialog.runModal(owner) != IDOK) return false;
  rate = dialog.rate;
  return true;
}
