#include "editor/dialogs/record_advanced_dialog.h"

#include "ui/db_edit.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kAutoTrim = 101, kVoiceActivated = 102, kThreshold = 104, kAutoStart = 105;

class RecordAdvancedDialog : public ui::Dialog {
 public:
  explicit RecordAdvancedDialog(const RecordSettings& settings)
      : ui::Dialog(ui::DialogTemplate("Advanced Settings", 200, 110)
                       .checkBox(kAutoStart, "Auto Start Recording", 10, 10, 180, 10)
                       .checkBox(kAutoTrim, "AutoTrim Recording", 10, 26, 180, 10)
                       .checkBox(kVoiceActivated, "Voice Activated Recording", 10, 42, 180, 10)
                       .text(-1, "Threshold", 10, 62, 50, 10)
                       .control(ui::kDbEditClass, kThreshold, "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 64, 60, 30, 12)
                       .text(-1, "dB (-40 to -6)", 98, 62, 90, 10)
                       .defaultButton(IDOK, "OK", 84, 88, 50, 14)
                       .button(IDCANCEL, "Cancel", 140, 88, 50, 14)),
        m_settings(settings) {}

  const RecordSettings& settings() const { return m_settings; }

 protected:
  bool onInit() override {
    setCheck(kAutoStart, m_settings.autostart);
    setCheck(kAutoTrim, m_settings.autotrim);
    setCheck(kVoiceActivated, m_settings.vor);
    ui::setDbRange(item(kThreshold), kThresholdLowestDb, kThresholdHighestDb);
    ui::setDbValue(item(kThreshold), m_settings.threshold);
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == IDOK) {
      std::optional<int> threshold = ui::dbValue(item(kThreshold));
      if (!threshold) {
        ui::showMessage(handle(), "Please enter a threshold from -40 to -6 dB.", "Advanced Settings",
                        MB_OK | MB_ICONINFORMATION);
        SetFocus(item(kThreshold));
        return;
      }
      m_settings.threshold = *threshold;
      m_settings.autostart = isChecked(kAutoStart);
      m_settings.autotrim = isChecked(kAutoTrim);
      m_settings.vor = isChecked(kVoiceActivated);
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  RecordSettings m_settings;
};

}  // namespace

bool askRecordAdvanced(HWND owner, RecordSettings& settings) {
  ui::registerDbEdit(GetModuleHandleW(nullptr));
  RecordAdvancedDialog dialog(settings);
  if (dialog.runModal(owner) != IDOK) return false;
  settings = dialog.settings();
  return true;
}
