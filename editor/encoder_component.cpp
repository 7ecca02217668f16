#include "editor/encoder_component.h"

#include "formats/encoder_sinks.h"
#include "formats/extension.h"
#include "formats/formats.h"
#include "formats/playlist_texts.h"
#include "net/download_hosts.h"
#include "net/install_on_demand.h"
#include "net/shipped_installers.h"
#include "sys/folders.h"
#include "ui/component_download.h"
#include "ui/text.h"

JobResult ensureEncoderComponent(HWND owner, const std::string& path, const sys::SettingsStore& settings) {
  const std::string component = encoderComponentFor(lowerExtension(path));
  if (component.empty() || !net::componentPath(component).empty()) return JobResult::Done;
  ui::ComponentDownloadSettings download{"Razavo", net::readDownloadHosts(settings), net::shippedInstallers()};
  return ui::installComponentWithProgress(owner, component, "Razavo", download);
}

bool confirmCompanionReplace(HWND owner, const std::string& path) {
  if (!isPlaylistExtension(lowerExtension(path))) return true;
  const std::string mp3 = companionMp3Path(path);
  if (!sys::fileExists(mp3)) return true;
  return ui::showMessage(owner,
                         "Another file with the same name \"" + sys::fileNameOf(mp3) +
                             "\" already exists. Do you want to replace it?",
                         "Razavo", MB_YESNO | MB_ICONQUESTION) == IDYES;
}
