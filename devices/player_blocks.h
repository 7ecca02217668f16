#pragma once
// The work done on every block the player sends: conversion of Samples to
// the device's 16-bit PCM and the block's per-channel level.

#include <array>
#include <cstdint>

#include "core/sample.h"

// One signed level per channel (room for 256), as the level meter shows them.
struct LevelRecord {
  uint8_t channels = 0;
  std::array<int8_t, 256> levels{};
};

// Level of silence.
constexpr int kSilentLevel = -127;

// Converts frames * channels samples into little-endian 16-bit bytes.
void convertToPcm16(const Sample* samples, int32_t frames, int channels, uint8_t* out);

// The level of each channel over frames interleaved samples: 10 log10 of the
// mean of (s >> 5)^2 relative to 8,388,626, rounded half away from zero and
// kept to -127 ... 127; silence is -127. A full-scale sine reads 12.
LevelRecord computeLevels(const Sample* samples, int32_t frames, int channels);
