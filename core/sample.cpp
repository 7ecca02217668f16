#include "core/sample.h"

int64_t msToFrames(int64_t ms, int32_t rate) {
  // Seconds and the remainder separately, so the product stays small.
  return (ms % 1000) * rate / 1000 + (ms / 1000) * rate;
}

int64_t framesToMs(int64_t frames, int32_t rate) {
  if (rate <= 0) return 0;
  return (frames % rate) * 1000 / rate + (frames / rate) * 1000;
}
