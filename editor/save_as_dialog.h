#pragma once
// The editor's Save As dialog: the system's save dialog with every format
// the editor writes and a "Format Options" button that opens the chosen
// format's settings.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sys/settings_store.h"

struct SaveAsDialogRequest {
  HWND owner = nullptr;
  const wchar_t* title = nullptr;  // null: the system's own
  std::string initialName;
  std::string initialFolder;
  int filterIndex = 1;             // 1-based, as last chosen
  bool overwritePrompt = true;
  // The sound being saved, for the format settings.
  int channels = 0;
  int32_t sampleRate = 0;
  sys::SettingsStore* settings = nullptr;
  std::string dataFolder;
};

struct SaveAsChoice {
  std::string path;          // empty when the user cancelled
  int filterIndex = 1;
  bool formatChosen = false;  // "Format Options" was confirmed for the saved format
};

SaveAsChoice runSaveAsDialog(const SaveAsDialogRequest& request);

// The extensions of the audio formats the dialog offers (no playlists), in its order.
std::vector<std::string> audioSaveExtensions();

// The control id of the "Format Options" button.
constexpr int kFormatOptionsButton = 1190;
