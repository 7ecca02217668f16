#include "editor/dialogs/stereo_pan_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "editor/model/effect_presets.h"
#include "ui/dialog.h"

namespace {

constexpr int kPan = 101, kGains = 102;
constexpr int kLeftmost = kStereoPanValue.minimum, kRightmost = kStereoPanValue.maximum;
constexpr int kCentre = (kLeftmost + kRightmost) / 2;

class StereoPanDialog : public ui::Dialog {
 public:
  explicit StereoPanDialog(int32_t& pan)
      : ui::Dialog(ui::DialogTemplate(kStereoPanName, 220, 96, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(-1, "&Pan:", 8, 8, 100, 10)
                       .control(TRACKBAR_CLASSW, kPan, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, 0, 8,
                                20, 204, 22)
                       .text(-1, "Left", 8, 44, 40, 10)
                       .text(-1, "Center", 90, 44, 40, 10, SS_CENTER)
                       .text(-1, "Right", 172, 44, 40, 10, SS_RIGHT)
                       .text(kGains, "", 8, 58, 204, 10, SS_CENTER)
                       .defaultButton(IDOK, "OK", 106, 76, 50, 14)
                       .button(IDCANCEL, "Cancel", 162, 76, 50, 14)),
        m_pan(pan) {}

 protected:
  bool onInit() override {
    sendItem(kPan, TBM_SETRANGE, TRUE, MAKELPARAM(kLeftmost, kRightmost));
    sendItem(kPan, TBM_SETTICFREQ, kCentre - kLeftmost);
    sendItem(kPan, TBM_SETPAGESIZE, 0, 10);
    sendItem(kPan, TBM_SETPOS, TRUE, std::clamp(m_pan, kLeftmost, kRightmost));
    showGains();
    return true;
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == item(kPan)) {
      showGains();
      return TRUE;
    }
    return ui::Dialog::handleMessage(message, wParam, lParam);
  }

  void onCommand(int id, int code) override {
    if (id == IDOK) m_pan = position();
    ui::Dialog::onCommand(id, code);
  }

 private:
  int32_t position() const { return static_cast<int32_t>(sendItem(kPan, TBM_GETPOS)); }
  void showGains() { setText(kGains, stereoPanGainsText(position())); }

  int32_t& m_pan;
};

}  // namespace

bool askStereoPan(HWND owner, sys::SettingsStore& store, StereoPanParams& params) {
  params = readStereoPanParams(store);
  if (StereoPanDialog(params.StereoPan).runModal(owner) != IDOK) return false;
  writeStereoPanParams(store, params);
  return true;
}
