#pragma once
// The dialog of an effect whose values are a few fields with a preset list
// and Pre&view (echo, reverb, high-pass, phaser, flanger, chorus,
// distortion): reads the stored values, checks them on OK and writes them
// back.

#include <windows.h>

#include "editor/effect_dialogs.h"

bool askEffectForm(const EffectDialogContext& context, EffectRequest& request);
