#pragma once

#include <windows.h>

#include "effects/amplitude_effects.h"

// Paints the picture of a cross fade into area: the lead and the gap as
// shaded bands, the audio after the selection start fading out (blue) and
// the audio before the selection end fading in (red), with the points where
// the selection's start and end land. Labels use font.
void drawCrossFadeGraph(HDC dc, const RECT& area, const CrossFadeLayout& layout, HFONT font);
