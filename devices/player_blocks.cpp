#include "devices/player_blocks.h"

#include <cmath>

void convertToPcm16(const Sample* samples, int32_t frames, int channels, uint8_t* out) {
  const int64_t count = static_cast<int64_t>(frames) * channels;
  for (int64_t i = 0; i < count; ++i) {
    auto value = static_cast<uint16_t>(int16FromSample(samples[i]));
    out[2 * i] = static_cast<uint8_t>(value & 0xff);
    out[2 * i + 1] = static_cast<uint8_t>(value >> 8);
  }
}

namespace {

// The reference of level 0: a mean square of 8,388,626 in units of (s >> 5)^2.
constexpr double kLevelReference = 8388626.0;
constexpr int kLowBits = 13;
constexpr uint64_t kLowMask = (1u << kLowBits) - 1;

int levelOfMeanSquare(int64_t meanSquare) {
  if (meanSquare <= 0) return kSilentLevel;
  double level = 10.0 * std::log10(static_cast<double>(meanSquare) / kLevelReference);
  level += meanSquare >= static_cast<int64_t>(kLevelReference) ? 0.5 : -0.5;
  return clampTo(static_cast<int64_t>(level), -127, 127);  // truncates toward zero
}

}  // namespace

LevelRecord computeLevels(const Sample* samples, int32_t frames, int channels) {
  LevelRecord record;
  record.channels = static_cast<uint8_t>(channels);
  for (int c = 0; c < channels; ++c) {
    if (frames <= 0) {
      record.levels[c] = kSilentLevel;
      continue;
    }
    // The squares split into a high and a low part, summed apart, so that
    // nothing overflows even for samples far beyond full scale.
    uint64_t totalHigh = 0;
    uint64_t totalLow = 0;
    for (int32_t f = 0; f < frames; ++f) {
      int64_t x = samples[static_cast<int64_t>(f) * channels + c] >> 5;
      auto square = static_cast<uint64_t>(x * x);
      totalHigh += square >> kLowBits;
      totalLow += square & kLowMask;
    }
    uint64_t total = totalHigh + (totalLow >> kLowBits);
    uint64_t quotient = total / static_cast<uint64_t>(frames);
    uint64_t remainder = total % static_cast<uint64_t>(frames);
    auto meanSquare = static_cast<int64_t>((quotient << kLowBits) +
                                           (remainder << kLowBits) / static_cast<uint64_t>(frames));
    record.levels[c] = static_cast<int8_t>(levelOfMeanSquare(meanSquare));
  }
  return record;
}
