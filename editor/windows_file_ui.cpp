#include "editor/windows_file_ui.h"

#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kCodec = 101, kRate = 102, kMono = 103, kStereo = 104;
const char* kCodecNames[] = {"Dialogic ADPCM", "G711 uLaw", "G711 aLaw", "16 bit PCM (LE)", "8 bit unsigned",
                             "8 bit signed"};

class RawFormatDialog : public ui::Dialog {
 public:
  explicit RawFormatDialog(RawFormat& format)
      : ui::Dialog(ui::DialogTemplate("Raw Audio Settings", 200, 104)
                       .text(-1, "The layout of the raw file:", 8, 6, 184, 10)
                       .text(-1, "Codec:", 8, 22, 60, 10)
                       .comboBox(kCodec, 70, 20, 122, 100, CBS_DROPDOWNLIST)
                       .text(-1, "Sample rate (Hz):", 8, 40, 60, 10)
                       .edit(kRate, "", 70, 38, 60, 12, ES_NUMBER)
                       .radio(kMono, "Mono", 70, 56, 50, 10, true)
                       .radio(kStereo, "Stereo", 130, 56, 50, 10, false)
                       .defaultButton(IDOK, "OK", 86, 82, 50, 14)
                       .button(IDCANCEL, "Cancel", 142, 82, 50, 14)),
        m_format(format) {}

 protected:
  bool onInit() override {
    for (const char* name : kCodecNames) addComboItem(kCodec, name);
    setComboSelection(kCodec, static_cast<int>(m_format.codec));
    setInt(kRate, m_format.sampleRate);
    setCheck(m_format.channels == 2 ? kStereo : kMono, true);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      std::optional<int> rate = getInt(kRate);
      if (!rate || *rate < 6000 || *rate > 196000) {
        ui::showMessage(handle(), "Please enter a sample rate from 6000 to 196000 Hz.", "Raw Audio Settings",
                        MB_OK | MB_ICONINFORMATION);
        return;  // the dialog stays open
      }
      m_format.sampleRate = *rate;
      m_format.channels = isChecked(kStereo) ? 2 : 1;
      m_format.codec = static_cast<RawCodec>(std::max(0, comboSelection(kCodec)));
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  RawFormat& m_format;
};

}  // namespace

void WindowsFileUi::showError(const std::string& text) {
  ui::showMessage(m_owner, text, "Razavo", MB_OK | MB_ICONERROR);
}

void WindowsFileUi::showWarning(const std::string& text) { m_heldWarning = text; }

void WindowsFileUi::showHeldWarning() {
  if (m_heldWarning.empty()) return;
  std::string text = std::move(m_heldWarning);
  m_heldWarning.clear();
  ui::showMessage(m_owner, text, "Razavo", MB_OK | MB_ICONWARNING);
}

bool askRawFormat(HWND owner, RawFormat& format) {
  RawFormat chosen = format;
  RawFormatDialog dialog(chosen);
  if (dialog.runModal(owner) != IDOK) return false;
  format = chosen;
  return true;
}

bool WindowsFileUi::chooseRawFormat(const std::string&, RawFormat& format) { return askRawFormat(m_owner, format); }
