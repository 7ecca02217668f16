#pragma once
// The "Backup" dialog of the recordings list (LAudioFileBackupDlg): the
// selected recordings compressed (GSM, MP3 at 8 or 16 kbps, GSM inside a
// WAVE file) and copied into a folder, or onto a CD through the burner.
// Its choices are kept under "Backup".

#include <windows.h>

#include <string>
#include <vector>

#include "formats/formats.h"
#include "sys/settings_store.h"
#include "ui/component_download.h"

namespace recorder {

// Runs the dialog and, on OK, the backup with its messages.
void runBackup(HWND owner, const std::vector<std::string>& recordings, sys::SettingsStore& settings,
               const FormatContext& formats, const ui::ComponentDownloadSettings& downloads);

}  // namespace recorder
