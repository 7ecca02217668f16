#pragma once
// An effect dialog with a Preview button: the button toggles the preview,
// and the preview stops whenever the dialog ends, by OK or by Cancel.
// A dialog handles its own controls and hands every other command here.

#include <windows.h>

#include "editor/effect_preview.h"
#include "ui/dialog.h"

class PreviewDialog : public ui::Dialog {
 protected:
  PreviewDialog(ui::DialogTemplate dialogTemplate, const PreviewInput& input)
      : ui::Dialog(std::move(dialogTemplate)), m_preview(input) {}

  // Takes the values shown for OK; false (after saying why) keeps the dialog open.
  virtual bool accept() = 0;
  // Renders and plays the values shown, or stops a preview that plays.
  virtual void preview() = 0;

  void onCommand(int id, int code) override {
    switch (id) {
      case kPreviewButtonId:
        preview();
        return;
      case IDOK:
        if (!accept()) return;
        break;
      case IDCANCEL:
        break;
      default:
        return;
    }
    m_preview.stop();
    endDialog(id);
  }

  EffectPreview m_preview;
};
