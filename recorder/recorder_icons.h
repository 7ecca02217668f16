#pragma once
// The recorder's icons, drawn at start-up: a microphone on a round badge,
// grey when idle and red while recording.

#include <windows.h>

namespace recorder {

// A new icon of size x size pixels; the caller destroys it.
HICON drawRecorderIcon(bool recording, int size);

}  // namespace recorder
