#pragma once
// The recorder's options: one property sheet with the pages "Record",
// "Output", "Transmit", "General" and "Hot Keys", over the settings.

#include <windows.h>

#include <functional>
#include <string>

#include "recorder/model/recorder_settings.h"
#include "recorder/options/shell_folders.h"

namespace recorder {

enum class OptionsPage : int { Record = 0, Output = 1, Transmit = 2, General = 3, HotKeys = 4 };

struct OptionsContext {
  std::string dataFolder;   // holds "WavCodec.wff"
  std::string programPath;  // started at logon
  bool recordingOpen = false;  // a recording is under way or paused: the format stays
  // Shows a message and returns the button chosen; null: a message box.
  std::function<int(HWND owner, const std::string& text, const std::string& title, UINT flags)> showMessage;
  // The program of a component ("mp3el"), empty when not installed; null: the registration.
  std::function<std::string(const std::string& component)> findComponent;
  // Offers a missing component for download; true when it was installed. Null: the download.
  std::function<bool(HWND owner, const std::string& component)> offerComponent;
};

struct OptionsOutcome {
  bool folderChanged = false;  // the program closes: its recordings live in the old folder
  bool keysChanged = false;
};

// Shows the sheet on page first; true when the user confirmed it (the
// settings are stored then). Hot keys should be unregistered while it shows.
bool showOptions(HWND owner, OptionsPage first, RecorderSettings& settings, const OptionsContext& context,
                 OptionsOutcome& outcome);

// The settings of a format: the wave-format chooser on "WavCodec.wff" for WAV,
// the MP3 encoder settings for MP3; AIFF has none. True when changed.
bool showFormatSettings(HWND owner, int format, RecorderSettings& settings, const OptionsContext& context);

}  // namespace recorder
