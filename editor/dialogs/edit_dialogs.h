#pragma once
// The small dialogs of the Edit menu. Each reads its stored values from the
// settings section "StoredValues", and writes them back on OK.

#include <windows.h>

#include "effects/auto_split.h"
#include "effects/edit_operations.h"
#include "sys/settings_store.h"

// "Insert Silence": milliseconds of silence ("SilenceTimes").
bool askInsertSilence(HWND owner, sys::SettingsStore& store, int64_t& milliseconds);
// "Repeat Loop": how many extra copies ("RepeatNumTimes").
bool askRepeatLoop(HWND owner, sys::SettingsStore& store, int32_t& times);
// "Paste Mix" or "Mix File": volume, pan and what to do with a longer mix.
bool askPasteMix(HWND owner, sys::SettingsStore& store, const char* title, MixSettings& settings);
// "Auto Split File": the silence that separates the parts.
bool askAutoSplit(HWND owner, sys::SettingsStore& store, AutoSplitSettings& settings);
