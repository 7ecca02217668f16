// The recorder window's small dialogs: the name of a new recording and the
// first-run microphone set-up.
#include "recorder/recorder_window.h"

#include <algorithm>

#include "recorder/recorder_ids.h"
#include "ui/text.h"

namespace recorder {
namespace {

class NameDialog final : public ui::Dialog {
 public:
  explicit NameDialog(HINSTANCE instance) : ui::Dialog(IDD_ENTER_NAME, instance) {}
  std::string name;

 private:
  bool onInit() override {
    SetFocus(item(IDC_NAME_TEXT));
    return false;
  }
  void onCommand(int id, int) override {
    if (id == IDOK) name = getText(IDC_NAME_TEXT);
    if (id == IDOK || id == IDCANCEL) endDialog(id);
  }
};

class AudioSetupDialog final : public ui::Dialog {
 public:
  AudioSetupDialog(HINSTANCE instance, std::vector<std::string> devices, int device, int volume)
      : ui::Dialog(IDD_AUDIO_SETUP, instance), device(device), volume(volume), m_devices(std::move(devices)) {}
  int device;
  int volume;

 private:
  std::vector<std::string> m_devices;

  bool onInit() override {
    for (const std::string& name : m_devices) addComboItem(IDC_SETUP_DEVICE, name);
    setComboSelection(IDC_SETUP_DEVICE, std::clamp(device, 0, static_cast<int>(m_devices.size()) - 1));
    setInt(IDC_SETUP_VOLUME, volume);
    return true;
  }
  void onCommand(int id, int) override {
    if (id == IDOK) {
      std::optional<int> typed = getInt(IDC_SETUP_VOLUME);
      if (!typed || *typed < -127 || *typed > 127) {
        ui::showMessage(handle(), "Please enter a record volume between -127 and 127 dB.", "Invalid volume",
                        MB_OK | MB_ICONWARNING);
        SetFocus(item(IDC_SETUP_VOLUME));
        return;
      }
      volume = *typed;
      device = std::max(comboSelection(IDC_SETUP_DEVICE), 0);
    }
    if (id == IDOK || id == IDCANCEL) endDialog(id);
  }
};

}  // namespace

std::optional<std::string> RecorderWindow::promptForName() {
  NameDialog dialog(m_instance);
  if (dialog.runModal(handle()) != IDOK) return std::nullopt;
  return dialog.name;
}

void RecorderWindow::showAudioSetup() {
  AudioSetupDialog dialog(m_instance, m_capture->deviceNames(), m_settings->recordDevice(),
                          m_settings->recordVolume());
  if (dialog.runModal(handle()) != IDOK) return;
  m_settings->setRecordDevice(dialog.device);
  m_settings->setRecordVolume(dialog.volume);
}

}  // namespace recorder
