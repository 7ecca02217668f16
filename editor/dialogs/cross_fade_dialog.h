#pragma once

#include <windows.h>

#include "editor/effect_preview.h"
#include "effects/amplitude_effects.h"

// The "CrossFade" dialog: the selection's start and end, the gap and fade
// times in milliseconds, a graph of the two fades, Update Graph, Restore
// Defaults and Preview. True on OK with params set (each 0..kMaxCrossFadeMs).
constexpr int32_t kMaxCrossFadeMs = 60000;
bool askCrossFade(HWND owner, const PreviewInput& preview, CrossFadeParams& params);
