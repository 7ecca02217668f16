#include "editor/dialogs/speech_dialog.h"

#include "ui/dialog.h"

namespace {

constexpr int kText = 101, kVoice = 102;

class SpeechDialog : public ui::Dialog {
 public:
  SpeechDialog(const std::vector<std::string>& voices, SpeechRequest& request)
      : ui::Dialog(ui::DialogTemplate("Synthesize Speech", 280, 170)
                       .text(-1, "&Text of Speech to Synthesize", 8, 6, 264, 10)
                       .edit(kText, "", 8, 18, 264, 92,
                             ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL)
                       .text(-1, "&Voice or Speech Engine:", 8, 118, 264, 10)
                       .comboBox(kVoice, 8, 130, 264, 100, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .defaultButton(IDOK, "Synthesize Speech", 148, 150, 70, 14)
                       .button(IDCANCEL, "Cancel", 222, 150, 50, 14)),
        m_voices(voices),
        m_request(request) {}

 protected:
  bool onInit() override {
    for (const std::string& voice : m_voices) addComboItem(kVoice, voice);
    setComboSelection(kVoice, m_request.voice);
    setText(kText, m_request.text);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      m_request.text = getText(kText);
      m_request.voice = std::max(0, comboSelection(kVoice));
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  const std::vector<std::string>& m_voices;
  SpeechRequest& m_request;
};

}  // namespace

bool runSpeechDialog(HWND owner, const std::vector<std::string>& voices, SpeechRequest& request) {
  SpeechDialog dialog(voices, request);
  return dialog.runModal(owner) == IDOK;
}
