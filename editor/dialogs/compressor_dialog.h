#pragma once
// "Dynamic Range Compressor": threshold, ratio and limit, with presets that
// fill all three. The values are read from and written back to
// "StoredValues".

#include <windows.h>

#include "effects/amplitude_effects.h"
#include "sys/settings_store.h"

bool askCompressor(HWND owner, sys::SettingsStore& store, CompressorParams& params);
