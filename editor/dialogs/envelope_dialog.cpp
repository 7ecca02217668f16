#include "editor/dialogs/envelope_dialog.h"

#include "editor/dialogs/envelope_curve_control.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kCurve = 101, kSetFlat = 102, kReadout = 103;

class EnvelopeDialog : public ui::Dialog {
 public:
  explicit EnvelopeDialog(EnvelopeCurve& curve)
      : ui::Dialog(ui::DialogTemplate(kEnvelopeName, 316, 214, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .control(EnvelopeCurveControl::kClassName, kCurve, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 8, 8, 300, 150)
                       .text(kReadout, "", 8, 162, 300, 10)
                       .text(-1, "Click to add a point, drag a point to move it, right-click or double-click it to "
                                 "remove it.",
                             8, 174, 300, 10)
                       .button(kSetFlat, "Set &Flat", 8, 192, 50, 14)
                       .defaultButton(IDOK, "OK", 202, 192, 50, 14)
                       .button(IDCANCEL, "Cancel", 258, 192, 50, 14)),
        m_curve(curve) {}

 protected:
  bool onInit() override {
    control().setCurve(m_curve);
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kCurve) {
      if (code == EnvelopeCurveControl::kReadoutChanged) setText(kReadout, control().readout());
      return;
    }
    if (id == kSetFlat) {
      control().setCurve(flatEnvelope());
      return;
    }
    if (id == IDOK) m_curve = control().curve();
    ui::Dialog::onCommand(id, code);
  }

 private:
  // The control exists from the dialog's creation to its end.
  EnvelopeCurveControl& control() const { return *EnvelopeCurveControl::of(item(kCurve)); }

  EnvelopeCurve& m_curve;
};

}  // namespace

bool askEnvelope(HWND owner, const std::string& dataFolder, EnvelopeCurve& curve) {
  if (!EnvelopeCurveControl::registerClass(GetModuleHandleW(nullptr))) return false;
  curve = loadEnvelopeFile(dataFolder);
  if (EnvelopeDialog(curve).runModal(owner) != IDOK) return false;
  if (!saveEnvelopeFile(dataFolder, curve)) {
    // The curve still applies this time; only remembering it failed.
    ui::showMessage(owner, "The envelope could not be saved in " + envelopeFilePath(dataFolder) + ".", "File Error",
                    MB_OK | MB_ICONERROR);
  }
  return true;
}
