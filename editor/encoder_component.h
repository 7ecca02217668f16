#pragma once
// Saving needs the format's encoder component: a missing one is offered
// for download and installed before the save starts.

#include <windows.h>

#include <string>

#include "core/source_status.h"
#include "sys/settings_store.h"

// Done when the format needs no component or it is installed (now or
// before), Cancelled when the user cancelled the download, Failed when it
// cannot be installed (a message has been shown).
JobResult ensureEncoderComponent(HWND owner, const std::string& path, const sys::SettingsStore& settings);

// A playlist or feed also writes an MP3 beside it: when that file exists the
// user is asked first, as for the playlist. False when the user declines.
bool confirmCompanionReplace(HWND owner, const std::string& path);
