#pragma once
// The job behind Envelope, Fade In and Fade Out: a gain curve across the
// selection, linear between its points.

#include <string>

#include "effects/amplitude_effects.h"

JobResult runEnvelopeJob(SoundBuffer& sound, int32_t start, int32_t end, const EnvelopeCurve& curve,
                         const std::string& name, ProgressCallback* progress);
