#include "recorder/options/output_page.h"

#include "net/download_hosts.h"
#include "net/install_on_demand.h"
#include "net/shipped_installers.h"
#include "recorder/model/name_pattern.h"
#include "recorder/model/recorder_format.h"
#include "sys/folders.h"
#include "ui/component_download.h"
#include "ui/folder_browser.h"

namespace recorder {

namespace {

constexpr const char* kPatternHelp =
    "File name format can be in these forms: \n - Date time:  [text] [%YYYY%] [%MM%] [%DD%] [%HH%] [%MIN%] %SS% "
    "[text] \n - Auto Increase Number: [text] %autonumber%";
constexpr const char* kProgramTitle = "Rezara Sound Recorder";
constexpr const char* kMp3Component = "mp3el";

}  // namespace

OutputPage::OutputPage(RecorderSettings& settings, const OptionsContext& context, OptionsOutcome& outcome)
    : OptionPage(layout("Output")
                     .text(-1, "Output Folder:", 8, 10, 60, 10)
                     .edit(kFolder, "", 8, 22, 222, 12, ES_AUTOHSCROLL)
                     .button(kBrowse, "...", 234, 21, 18, 14)
                     .groupBox(-1, "File name", 8, 42, 244, 104)
                     .radio(kPrompt, "Prompt for file name before recording", 16, 56, 220, 10, true)
                     .radio(kUsePattern, "Use this file name format", 16, 72, 110, 10, false)
                     .edit(kPattern, "", 28, 86, 160, 12, ES_AUTOHSCROLL)
                     .button(kViewSample, "View Sample", 192, 85, 54, 14)
                     .text(kHelp, kPatternHelp, 28, 104, 220, 38)
                     .text(-1, "Output Format:", 8, 158, 60, 10)
                     .comboBox(kFormat, 72, 156, 80, 80, CBS_DROPDOWNLIST)
                     .button(kFormatSettings, "Format Settings", 160, 155, 70, 14),
                 context),
      m_settings(settings),
      m_outcome(outcome) {}

bool OutputPage::onInit() {
  setText(kFolder, m_settings.outputFolder());
  setCheck(m_settings.promptForName() ? kPrompt : kUsePattern, true);
  setText(kPattern, m_settings.fileNameFormat());
  for (int i = 0; i < kRecorderFormatCount; ++i) addComboItem(kFormat, recorderFormat(i)->label);
  const int format = m_settings.format();
  setComboSelection(kFormat, recorderFormat(format) ? format : kWav);
  enableFields();
  return true;
}

void OutputPage::enableFields() {
  const bool pattern = isChecked(kUsePattern);
  enable(kPattern, pattern);
  enable(kViewSample, pattern);
  enable(kFormat, !m_context.recordingOpen);
  const int format = comboSelection(kFormat);
  enable(kFormatSettings, format == kWav || format == kMp3);
}

void OutputPage::onCommand(int id, int code) {
  switch (id) {
    case kPrompt:
    case kUsePattern:
      enableFields();
      break;
    case kFormat:
      if (code == CBN_SELCHANGE) enableFields();
      break;
    case kBrowse:
      browse();
      break;
    case kViewSample:
      viewSample();
      break;
    case kFormatSettings:
      showFormatSettings(handle(), comboSelection(kFormat), m_settings, m_context);
      break;
    default:
      break;
  }
}

void OutputPage::browse() {
  std::string start = getText(kFolder);
  for (;;) {
    std::optional<std::string> folder = ui::browseForFolder(handle(), "Locate output folder:", start);
    if (!folder) return;
    if (!refuse(checkBrowsedFolder(*folder, realFolderSystem()), kFolder)) {
      setText(kFolder, *folder);
      return;
    }
    start = *folder;
  }
}

void OutputPage::viewSample() {
  const std::string pattern = getText(kPattern);
  if (refuse(checkNamePattern(pattern), kPattern)) return;
  const std::string folder = getText(kFolder);
  const RecorderFormatInfo* format = recorderFormat(comboSelection(kFormat));
  const std::string extension = format ? format->extension : ".wav";
  const std::string name = nameFromPattern(pattern, currentLocalTime(), m_settings, [&](const std::string& candidate) {
    return sys::fileExists(sys::joinPath(folder, candidate + extension));
  });
  ask(name, kSampleNameTitle, MB_OK | MB_ICONINFORMATION);
}

bool OutputPage::mp3EncoderReady() {
  auto installed = [&] {
    return !(m_context.findComponent ? m_context.findComponent(kMp3Component) : net::componentPath(kMp3Component))
                .empty();
  };
  if (installed()) return true;
  if (m_context.offerComponent) return m_context.offerComponent(handle(), kMp3Component) && installed();
  if (ask("Recording MP3 files needs the MP3 encoder component \"mp3el\", which is not installed. Do you want to "
          "download it now?",
          "Download Required", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  ui::ComponentDownloadSettings download{kProgramTitle, net::readDownloadHosts(m_settings.store()),
                                         net::shippedInstallers()};
  return ui::installComponentWithProgress(handle(), kMp3Component, kProgramTitle, download) == JobResult::Done &&
         installed();
}

bool OutputPage::leave() {
  if (isChecked(kUsePattern) && refuse(checkNamePattern(getText(kPattern)), kPattern)) return false;
  OutputFolderCheck folder =
      checkOutputFolder(getText(kFolder), m_settings.outputFolder(), realFolderSystem(), [&] {
        return ask(kCreateFolderQuestion, kCreateFolderTitle, MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES;
      });
  if (!folder.accepted) {
    if (!refuse(folder.message, kFolder)) SetFocus(item(kFolder));
    return false;
  }
  m_folderChanged = folder.folderChanged;
  if (comboSelection(kFormat) == kMp3 && !mp3EncoderReady()) {
    SetFocus(item(kFormat));
    return false;
  }
  return true;
}

void OutputPage::apply() {
  m_settings.setOutputFolder(getText(kFolder));
  if (m_folderChanged) m_outcome.folderChanged = true;
  m_settings.setPromptForName(isChecked(kPrompt));
  if (isChecked(kUsePattern)) m_settings.setFileNameFormat(getText(kPattern));
  if (comboSelection(kFormat) >= 0) m_settings.setFormat(comboSelection(kFormat));
}

}  // namespace recorder
