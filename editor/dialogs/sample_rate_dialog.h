#pragma once

#include <windows.h>

#include <cstdint>

// The "Convert Sample Rate" dialog: an editable list of the usual rates,
// starting at the current one. True on OK with rate set (6,000..96,000).
bool askSampleRate(HWND owner, int32_t current, int32_t& rate);
