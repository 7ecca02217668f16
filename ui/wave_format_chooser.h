#pragma once
// "Select Wave File Format": the system's format chooser on the WAVE format
// stored in "WavCodec.wff" of dataFolder; the choice is stored back whole.

#include <windows.h>

#include <cstdint>
#include <string>

namespace ui {

// channels > 0 replaces the count of a stored plain PCM format first; rate
// and channels form the format shown while none is stored. False when the
// user cancels or the choice cannot be stored.
bool chooseWaveFormat(HWND owner, int channels, int32_t sampleRate, const std::string& dataFolder);

}  // namespace ui
