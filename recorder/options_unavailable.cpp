// Builds without the option pages: the Options menu says so.
#include "recorder/recorder_window.h"

#include "ui/text.h"

namespace recorder {

void RecorderWindow::showOptions(int) {
  ui::showMessage(handle(), "The option pages are not part of this build.", "Rezara Sound Recorder",
                  MB_OK | MB_ICONINFORMATION);
}

}  // namespace recorder
