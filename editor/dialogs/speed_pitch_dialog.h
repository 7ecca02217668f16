#pragma once

#include <windows.h>

#include <cstdint>

#include "editor/effect_preview.h"

// The one dialog of Speed and Pitch Change, Speed Change and Pitch Change,
// titled with the command's name: percent in edit 101, OK, Cancel, Help and
// Preview. True on OK with percent set (at most 300).
bool askSpeedPitch(HWND owner, const char* title, const PreviewInput& preview, int32_t& percent);
