#include "effects/plugin_samples.h"

#include <cmath>

Sample sampleFromPluginFloat(float value) {
  if (std::isnan(value)) return 0;
  const double clamped = value > 1.0f ? 1.0 : value < -1.0f ? -1.0 : static_cast<double>(value);
  return static_cast<Sample>(std::lround(clamped * static_cast<double>(kLargest16BitSample)));
}

void pcm16FromSamples(const Sample* samples, int64_t count, int16_t* pcm) {
  for (int64_t i = 0; i < count; ++i) pcm[i] = int16FromSample(samples[i]);
}

void samplesFromPcm16(const int16_t* pcm, int64_t count, Sample* samples) {
  for (int64_t i = 0; i < count; ++i) samples[i] = static_cast<Sample>(pcm[i]) * 16;
}
