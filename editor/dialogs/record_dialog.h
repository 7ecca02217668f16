#pragma once
// The record dialog ("Record Control"): records from an input device in
// takes, shows the recording, its time and levels, and offers the input
// device, line and volume, the playback device and volume, and the advanced
// settings. Keys: F8 Record, F5 Record Next, F7 Re-Take, F6 Restart, Left,
// Home, Right and End move the cursor in the recording.

#include <windows.h>

#include <string>

#include "core/sound_buffer.h"
#include "sys/settings_store.h"

struct RecordRequest {
  std::string fileName;  // of the file the recording goes into
  int32_t sampleRate = 44100;
  int channels = 1;
};

// Runs the dialog over owner. True on OK with something recorded, which is
// then in recording (at the request's rate and channels).
bool runRecordDialog(HWND owner, sys::SettingsStore& store, const RecordRequest& request, SoundBuffer& recording);
