#include "devices/capture_blocks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void convertFromPcm16(const uint8_t* bytes, int32_t frames, int channels, Sample* out) {
  const int64_t count = static_cast<int64_t>(frames) * channels;
  for (int64_t i = 0; i < count; ++i) {
    auto value = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    out[i] = static_cast<Sample>(value) * 16;
  }
}

int32_t DcFilter::constantFor(int32_t sampleRate) { return sampleRate > 0 ? 192000 / sampleRate + 1 : 1; }

DcFilter::DcFilter(int32_t sampleRate, int channels)
    : m_k(constantFor(sampleRate)), m_channels(std::max(channels, 1)), m_accumulators(m_channels, 0) {}

void DcFilter::process(Sample* samples, int32_t frames) {
  for (int c = 0; c < m_channels; ++c) {
    int64_t acc = m_accumulators[c];
    Sample* s = samples + c;
    for (int32_t f = 0; f < frames; ++f, s += m_channels) {
      int64_t y = static_cast<int64_t>(*s) - (acc >> 12);
      *s = clampToInt32(y);
      acc += y * m_k;
    }
    m_accumulators[c] = acc;
  }
}

namespace {

// Level 0 is a peak of 131,072: a quarter of full scale.
constexpr double kPeakReference = 131072.0;

int levelOfPeak(int64_t peak) {
  if (peak <= 0) return kSilentLevel;
  double level = 20.0 * std::log10(static_cast<double>(peak) / kPeakReference);
  level += peak >= static_cast<int64_t>(kPeakReference) ? 0.5 : -0.5;
  return clampTo(static_cast<int64_t>(level), -127, 127);  // truncates toward zero
}

}  // namespace

LevelRecord computePeakLevels(const Sample* samples, int32_t frames, int channels) {
  LevelRecord record;
  record.channels = static_cast<uint8_t>(channels);
  for (int c = 0; c < channels; ++c) {
    int64_t peak = 0;
    for (int32_t f = 0; f < frames; ++f) {
      peak = std::max<int64_t>(peak, std::llabs(samples[static_cast<int64_t>(f) * channels + c]));
    }
    record.levels[c] = static_cast<int8_t>(levelOfPeak(peak));
  }
  return record;
}

int blockLevel(const LevelRecord& levels) {
  if (levels.channels == 0) return kSilentLevel;
  if (levels.channels == 1) return levels.levels[0];
  return std::max(levels.levels[0], levels.levels[1]);
}
