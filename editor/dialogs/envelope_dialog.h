#pragma once
// "Envelope": the curve control over the selection and "Set Flat". The curve
// comes from "envelope.dat" in the per-user data folder and goes back there
// on OK; Cancel leaves the file as it was.

#include <windows.h>

#include <string>

#include "effects/amplitude_effects.h"

// True on OK, with the curve to apply.
bool askEnvelope(HWND owner, const std::string& dataFolder, EnvelopeCurve& curve);
