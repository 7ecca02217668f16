#pragma once
// "Stereo Pan": a track bar from left (0) to right (100) with the two
// output gains shown as it moves. The value is read from and written back
// to "StoredValues".

#include <windows.h>

#include "effects/amplitude_effects.h"
#include "sys/settings_store.h"

bool askStereoPan(HWND owner, sys::SettingsStore& store, StereoPanParams& params);
