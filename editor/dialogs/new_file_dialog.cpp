#include "editor/dialogs/new_file_dialog.h"

#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kRateBox = 101, kMono = 102, kStereo = 103;
const int32_t kRates[] = {6000, 8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000, 88200, 96000};

class NewFileDialog : public ui::Dialog {
 public:
  NewFileDialog(const std::string& title, int32_t rate, int channels)
      : ui::Dialog(ui::DialogTemplate(title, 180, 92)
                       .text(-1, "Sample Rate (Hz):", 8, 10, 70, 10)
                       .comboBox(kRateBox, 80, 8, 90, 120, CBS_DROPDOWN)
                       .groupBox(-1, "Channels", 8, 26, 162, 34)
                       .radio(kMono, "Mono", 18, 40, 60, 10, true)
                       .radio(kStereo, "Stereo", 90, 40, 60, 10, false)
                       .defaultButton(IDOK, "OK", 64, 70, 50, 14)
                       .button(IDCANCEL, "Cancel", 120, 70, 50, 14)),
        m_rate(rate),
        m_channels(channels) {}

  int32_t rate() const { return m_rate; }
  int channels() const { return m_channels; }

 protected:
  bool onInit() override {
    for (int32_t rate : kRates) addComboItem(kRateBox, std::to_string(rate));
    setText(kRateBox, std::to_string(m_rate));
    setCheck(m_channels == 2 ? kStereo : kMono, true);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      std::optional<int> rate = getInt(kRateBox);
      if (!rate || *rate < 6000 || *rate > 196000) {
        ui::showMessage(handle(), "Please enter a sample rate from 6000 to 196000 Hz.", "New File",
                        MB_OK | MB_ICONINFORMATION);
        return;
      }
      m_rate = *rate;
      m_channels = isChecked(kStereo) ? 2 : 1;
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  int32_t m_rate;
  int m_channels;
};

}  // namespace

bool askNewFileFormat(HWND owner, int32_t& sampleRate, int& channels, const std::string& title) {
  NewFileDialog dialog(title, sampleRate, channels);
  if (dialog.runModal(owner) != IDOK) return false;
  sampleRate = dialog.rate();
  channels = dialog.channels();
  return true;
}
