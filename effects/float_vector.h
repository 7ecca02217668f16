#pragma once
// Four floats processed as one by the compiler's vector extension (SSE on
// x86-64, both natively and with MinGW), for the few loops that carry the
// cost of resampling and time stretching. Loads and stores go through memcpy
// so that no alignment is assumed.

#include <cstdint>
#include <cstring>

using Float4 = float __attribute__((vector_size(16)));
// What comparing two Float4 gives: -1 where true, 0 where false.
using Int4 = int32_t __attribute__((vector_size(16)));

inline Float4 loadFloat4(const float* from) {
  Float4 value;
  std::memcpy(&value, from, sizeof value);
  return value;
}

inline void storeFloat4(float* to, Float4 value) { std::memcpy(to, &value, sizeof value); }

inline void storeInt4(int32_t* to, Int4 value) { std::memcpy(to, &value, sizeof value); }

inline Float4 splatFloat4(float value) { return Float4{value, value, value, value}; }

inline float sumOf(Float4 value) { return (value[0] + value[2]) + (value[1] + value[3]); }
