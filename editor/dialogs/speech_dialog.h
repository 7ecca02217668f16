#pragma once
// "Synthesize Speech": the text to speak and the voice to speak it with.

#include <windows.h>

#include <string>
#include <vector>

struct SpeechRequest {
  std::string text;  // as typed, UTF-8
  int voice = 0;     // index into the voice list
};

// False when cancelled. request.voice is the entry chosen first on entry.
bool runSpeechDialog(HWND owner, const std::vector<std::string>& voices, SpeechRequest& request);
