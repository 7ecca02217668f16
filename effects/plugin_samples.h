#pragma once
// Sample conversions between our Sample scale and the formats plug-ins take:
// floats where the 16-bit full scale (524,272) is 1.0, and 16-bit PCM.

#include <cstdint>

#include "core/sample.h"

// 1 / 524,272 in single precision: a full-scale 16-bit sample reaches the
// plug-in as exactly 1.0f.
constexpr float kPluginFloatPerSample = 1.9074068e-06f;

constexpr float pluginFloatFromSample(Sample s) { return static_cast<float>(s) * kPluginFloatPerSample; }

// A plug-in's float back to a Sample: clamped to ±1.0 first, so that a
// plug-in that overshoots cannot wrap the integer, and NaN (a plug-in that
// divided by zero) becomes silence instead of an undefined conversion.
Sample sampleFromPluginFloat(float value);

// Interleaved frames to and from 16-bit PCM for media objects.
void pcm16FromSamples(const Sample* samples, int64_t count, int16_t* pcm);
void samplesFromPcm16(const int16_t* pcm, int64_t count, Sample* samples);
