#pragma once
// Starting a sibling program of the family from a program's window: its
// template from the registry, its installer on demand, the question about
// its web page, and the wait for it inside the progress dialog.

#include <windows.h>

#include <string>

#include "shell/sibling_program.h"
#include "ui/component_download.h"
#include "ui/progress_dialog.h"

namespace ui {

// Opens a page of the maker's web site ("burn/index") in the browser.
void openMakerPage(HWND owner, const net::DownloadHosts& hosts, const std::string& page);

// 0 started (and ended, when waited for), 1 cancelled, 2 failed; progressTitle
// is the caption of the dialog the wait shows in.
JobResult startSiblingProgram(HWND owner, const shell::SiblingProgram& sibling, const std::string& argument,
                              const std::string& progressTitle, const ComponentDownloadSettings& downloads);
JobResult startToneGenerator(HWND owner, const ComponentDownloadSettings& downloads);

}  // namespace ui
