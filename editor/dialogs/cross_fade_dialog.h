#pragma once

#include <windows.h>

#include "editor/effect_preview.h"
#include "effects/amplitude_effects.h"

// The "CrossFade" dialog: the selection's start and end, the gap and fade
// times in milliseconds, a graph of the two fades, Update Graph, Restore
// Defaults and Preview. True on OK with params set, each within the range of
// its stored value.
bool askCrossFade(HWND owner, const PreviewInput& preview, CrossFadeParams& params);
