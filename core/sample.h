#pragma once
// The internal sample and the frame arithmetic shared by every module.

#include <cstdint>

// One sample of one channel: 32-bit signed, full scale 2^19 (a 16-bit value v
// is held as v * 16). Values beyond full scale are kept, never clipped here.
using Sample = int32_t;

constexpr Sample kSampleFullScale = 1 << 19;
// The largest and smallest 16-bit values as Samples: the peak of what a
// 16-bit file or device can hold, just below full scale on the positive side.
constexpr Sample kLargest16BitSample = 32767 * 16;
constexpr Sample kSmallest16BitSample = -32768 * 16;
// Frames are counted in signed 32-bit numbers; nothing may grow past this.
constexpr int64_t kMaxFrames = INT32_MAX;
// Chunk size of the read-process-write loops.
constexpr int32_t kProcessChunkFrames = 8192;

// Milliseconds to frames and back, computed wide so that long times at high
// rates neither overflow nor lose the remainder.
int64_t msToFrames(int64_t ms, int32_t rate);
int64_t framesToMs(int64_t frames, int32_t rate);

// Saturating conversions of a wide value into a range.
constexpr int32_t clampToInt32(int64_t value) {
  return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}
constexpr int32_t clampTo(int64_t value, int32_t low, int32_t high) {
  return value > high ? high : value < low ? low : static_cast<int32_t>(value);
}

// A Sample as a 16-bit value: (s + 8) >> 4, saturated, so that a sound at or
// beyond full scale (a 24-bit peak reads as 524,287) clips at 32,767 instead
// of wrapping to -32,768.
constexpr int16_t int16FromSample(Sample s) {
  return static_cast<int16_t>(clampTo((static_cast<int64_t>(s) + 8) >> 4, -32768, 32767));
}
