#pragma once
// The Equalizer dialog: the gain curve over frequency (loaded from and saved
// to "equalizer.dat"), "Set &Flat", the preset kinds with their "Settings"
// windows, and Pre&view.

#include <windows.h>

#include "editor/effect_dialogs.h"

bool askEqualizer(const EffectDialogContext& context, EffectRequest& request);
