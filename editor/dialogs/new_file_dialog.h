#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Asks for a sample rate and channel count; false when the user cancels.
// The same dialog sets the defaults of new files under another title.
bool askNewFileFormat(HWND owner, int32_t& sampleRate, int& channels, const std::string& title = "New File");
