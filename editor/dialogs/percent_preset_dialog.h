#pragma once
// "Amplify" and "Normalize": a percent in an edit box that a list of presets
// can fill. OK checks the value; a refused one keeps the dialog open with a
// message. The value is read from and written back to "StoredValues".

#include <windows.h>

#include "effects/amplitude_effects.h"
#include "sys/settings_store.h"

bool askAmplify(HWND owner, sys::SettingsStore& store, AmplifyParams& params);
bool askNormalize(HWND owner, sys::SettingsStore& store, NormalizeParams& params);
