#pragma once
// "Advanced Settings" of the record dialog: whether recording starts as the
// dialog opens, trims silence, waits for voice, and the threshold.

#include <windows.h>

#include "editor/model/record_settings.h"

// Shows the dialog over owner with the values of settings; on OK stores the
// choices in settings and returns true.
bool askRecordAdvanced(HWND owner, RecordSettings& settings);
