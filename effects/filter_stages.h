#pragma once
// Stages that more than one effect runs: each wraps a source and gives the
// filtered source, so that effects chain them.

#include "core/sample_source.h"
#include "effects/delay_filter_effects.h"

// The equalizer's FIR of a gain table.
SampleSourceRef equalizerStage(SampleSourceRef input, const EqualizerTable& table);
// The distortion curve on every sample.
SampleSourceRef distortionStage(SampleSourceRef input, const DistortionCurve& curve);
// The distortion of the radio and telephone effects: -8 dB, degree 0.05.
DistortionCurve lineDistortionCurve();
