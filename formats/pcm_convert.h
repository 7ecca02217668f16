#pragma once
// Conversions between file samples and Samples (full scale 2^19). Reading is
// exact; writing rounds and saturates at the width's limits, so a sound made
// louder than full scale clips instead of wrapping into noise.

#include <cstdint>

#include "core/sample.h"

inline Sample sampleFromUnsigned8(uint8_t v) { return (static_cast<int32_t>(v) - 128) * 4096; }
inline Sample sampleFromSigned8(int8_t v) { return static_cast<int32_t>(v) * 4096; }
inline Sample sampleFrom16(int16_t v) { return static_cast<int32_t>(v) * 16; }
inline Sample sampleFrom24(int32_t v24) { return v24 >> 4; }  // v24 sign-extended
inline Sample sampleFrom32(int32_t v) {
  return clampToInt32((static_cast<int64_t>(v) + 2048) >> 12);
}

inline uint8_t unsigned8FromSample(Sample s) {
  return static_cast<uint8_t>(clampTo((static_cast<int64_t>(s) + 2048) >> 12, -128, 127) + 128);
}
inline int8_t signed8FromSample(Sample s) {
  return static_cast<int8_t>(clampTo((static_cast<int64_t>(s) + 2048) >> 12, -128, 127));
}
// 24-bit file value (in the low three bytes) of a Sample: s << 4, saturated.
inline int32_t int24FromSample(Sample s) {
  return clampTo(static_cast<int64_t>(s) * 16, -8388608, 8388607);
}
inline int32_t int32FromSample(Sample s) {
  return clampToInt32(static_cast<int64_t>(s) * 4096);
}
