#include "editor/dialogs/select_time_dialog.h"

#include "core/sample.h"
#include "editor/model/time_text.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kStart = 101, kEnd = 102;

class SelectTimeDialog : public ui::Dialog {
 public:
  SelectTimeDialog(ViewState& view, int32_t length)
      : ui::Dialog(ui::DialogTemplate("Select Specified Time", 190, 80)
                       .text(-1, "Start (h:mm:ss.xxx):", 8, 10, 80, 10)
                       .edit(kStart, "", 92, 8, 90, 12)
                       .text(-1, "End (h:mm:ss.xxx):", 8, 30, 80, 10)
                       .edit(kEnd, "", 92, 28, 90, 12)
                       .defaultButton(IDOK, "OK", 76, 56, 50, 14)
                       .button(IDCANCEL, "Cancel", 132, 56, 50, 14)),
        m_view(view),
        m_length(length) {}

 protected:
  bool onInit() override {
    int32_t rate = std::max(m_view.sampleRate, 1);
    setText(kStart, formatTimeMillis(framesToMs(m_view.selectionStart, rate)));
    setText(kEnd, formatTimeMillis(framesToMs(m_view.selectionEnd, rate)));
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      int64_t startMs = 0, endMs = 0;
      if (!parseTimeText(getText(kStart), startMs) || !parseTimeText(getText(kEnd), endMs)) {
        ui::showMessage(handle(), "Please enter the times as hours:minutes:seconds, for example 0:01:30.250.",
                        "Select Specified Time", MB_OK | MB_ICONINFORMATION);
        return;
      }
      int32_t rate = std::max(m_view.sampleRate, 1);
      setSelection(m_view, msToFrames(startMs, rate), msToFrames(endMs, rate), m_length);
      m_view.cursor = m_view.selectionStart;
      scrollToShowCursor(m_view, m_length);
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  ViewState& m_view;
  int32_t m_length;
};

}  // namespace

bool askSpecifiedTime(HWND owner, ViewState& view, int32_t length) {
  SelectTimeDialog dialog(view, length);
  return dialog.runModal(owner) == IDOK;
}
