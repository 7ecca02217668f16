// The option pages, opened from the window's Options menu.
#include "recorder/recorder_window.h"

#include "recorder/options/recorder_options.h"
#include "recorder/recorder_ids.h"
#include "ui/text.h"

namespace recorder {
namespace {

std::string programPath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? ui::narrow(std::wstring(path, length)) : std::string();
}

}  // namespace

void RecorderWindow::showOptions(int command) {
  OptionsContext context;
  context.dataFolder = m_dataFolder;
  context.programPath = programPath();
  context.findComponent = m_formats.findComponent;
  context.recordingOpen = m_session->busy();
  if (command == ID_FORMAT_SETTINGS) {
    showFormatSettings(handle(), m_settings->format(), *m_settings, context);
    refreshFormat();
    return;
  }
  OptionsPage first = command == ID_OPTIONS_OUTPUT     ? OptionsPage::Output
                      : command == ID_OPTIONS_TRANSMIT ? OptionsPage::Transmit
                      : command == ID_OPTIONS_GENERAL  ? OptionsPage::General
                      : command == ID_OPTIONS_HOT_KEYS ? OptionsPage::HotKeys
                                                       : OptionsPage::Record;
  // The keys are edited while none is registered.
  unregisterHotKeys();
  OptionsOutcome outcome;
  const bool changed = recorder::showOptions(handle(), first, *m_settings, context, outcome);
  if (changed && outcome.folderChanged) {
    ui::showMessage(handle(),
                    "Rezara Sound Recorder will now close because you changed the output folder.\r\r"
                    "Please re-run Rezara Sound Recorder to start with the new folder.",
                    "Shut Down", MB_OK | MB_ICONINFORMATION);
    exitProgram();
    return;
  }
  registerHotKeys();
  refreshFormat();
  SetTimer(handle(), 6, 1000, nullptr);  // the free-space line, soon
}

}  // namespace recorder
