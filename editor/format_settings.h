#pragma once
// "Format Options": the settings dialog of a save format, chosen by the
// file's extension.

#include <windows.h>

#include <cstdint>
#include <string>

#include "sys/settings_store.h"

struct FormatSettingsRequest {
  std::string extension;   // lower case, with its dot
  int channels = 0;        // the sound's: replaces the stored count first (0: keep it)
  int32_t sampleRate = 0;  // the sound's, shown where no rate was chosen yet
};

// Shows the dialog and stores what the user confirms; false when the user
// cancels or the format has no settings.
bool showFormatSettings(HWND owner, const FormatSettingsRequest& request, sys::SettingsStore& settings,
                        const std::string& dataFolder);
// True when the format has a settings dialog.
bool hasFormatSettings(const std::string& extension);
