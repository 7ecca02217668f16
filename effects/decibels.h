#pragma once
// Whole-decibel gain tables and the fixed-point gain multiply shared by the
// level effects. Decibel values are signed 8-bit, clamped to -127..127, and
// -127 stands for silence.

#include <array>
#include <cstdint>

#include "core/block_span.h"
#include "core/sample.h"

constexpr int kSilenceDecibels = -127;
constexpr int kMaxDecibels = 127;

constexpr int clampDecibels(long long decibels) {
  return decibels < kSilenceDecibels ? kSilenceDecibels : decibels > kMaxDecibels ? kMaxDecibels
                                                                                  : static_cast<int>(decibels);
}

// Index d + 128 for d = -128..127. Gains are 2^24 = unity, capped at
// 2,147,483,647; -127 and -128 are 0.
using DecibelTable = std::array<int32_t, 256>;
const DecibelTable& DecibelGainTable();   // 10^(d/20)
const DecibelTable& DecibelPowerTable();  // 10^(d/10)

// The table entries for a decibel value, clamped to -127..127 first.
int32_t decibelGain(int decibels);
int32_t decibelPower(int decibels);

// A gain (2^24 = unity) in whole decibels, rounded half away from zero and
// clamped to -127..127; no gain at all (0 or less) is -127.
int gainToDecibels(int64_t gain);

// s * g / 2^24 as a split multiply on 12-bit halves: with s = sH*4096 + sL and
// g = gH*4096 + gL, sH*gH + (sL*gH >> 12) + (sH*gL >> 12), dropping the
// product of the low parts. Held in 64 bits and saturated rather than wrapped
// for samples and gains far beyond full scale and unity.
inline Sample scaleSample(Sample sample, int32_t gain) {
  const int64_t sampleHigh = sample >> 12, sampleLow = sample & 0xFFF;
  const int64_t gainHigh = gain >> 12, gainLow = gain & 0xFFF;
  return clampToInt32(sampleHigh * gainHigh + ((sampleLow * gainHigh) >> 12) + ((sampleHigh * gainLow) >> 12));
}
