#pragma once
// The dialogs of noise reduction and click repair, and the checks that
// refuse the noise-sample subtraction and the manual click repair before
// anything changes. Each reads its stored values and writes them back on OK.

#include "editor/effect_dialogs.h"

bool askNoiseGate(const EffectDialogContext& context, EffectRequest& request);
bool askAutoSpectralSubtraction(const EffectDialogContext& context, EffectRequest& request);
bool askClickRepair(const EffectDialogContext& context, EffectRequest& request);
// No dialog: a message when the kept noise sample is missing or does not fit.
bool checkNoiseSample(const EffectDialogContext& context, EffectRequest& request);
// No dialog: a message when the selection is too large for a manual repair.
bool checkManualRepairArea(const EffectDialogContext& context, EffectRequest& request);
