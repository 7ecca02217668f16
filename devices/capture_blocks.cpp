#include "devices/capture_blocks.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

void convertFromPcm16(const uint8_t* bytes, int32_t frames, int channels, Sample* out) {
  const int64_t count = static_cast<int64_t>(frames) * channels;
  if constexpr (std::endian::native == std::endian::little) {
    // The bytes are the machine's own 16-bit values: a straight loop the
    // compiler turns into vector code.
    for (int64_t i = 0; i < count; ++i) {
      int16_t value;
      std::memcpy(&value, bytes + 2 * i, 2);
      out[i] = static_cast<Sample>(value) * 16;
    }
  } else {
    for (int64_t i = 0; i < count; ++i) {
      auto value = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
      out[i] = static_cast<Sample>(value) * 16;
    }
  }
}

int32_t DcFilter::constantFor(int32_t sampleRate) { return sampleRate > 0 ? 192000 / sampleRate + 1 : 1; }

DcFilter::DcFilter(int32_t sampleRate, int channels)
    : m_k(constantFor(sampleRate)), m_channels(std::max(channels, 1)), m_accumulators(m_channels, 0) {}

namespace {

// One step of one channel's filter.
inline Sample dcStep(Sample x, int64_t& acc, int64_t k) {
  int64_t y = static_cast<int64_t>(x) - (acc >> 12);
  acc += y * k;
  return clampToInt32(y);
}

}  // namespace

void DcFilter::process(Sample* samples, int32_t frames) {
  const int64_t k = m_k;
  if (m_channels == 2) {
    // The two channels' chains side by side, so that neither waits for the
    // other's multiply.
    int64_t left = m_accumulators[0];
    int64_t right = m_accumulators[1];
    for (int32_t f = 0; f < frames; ++f) {
      samples[2 * f] = dcStep(samples[2 * f], left, k);
      samples[2 * f + 1] = dcStep(samples[2 * f + 1], right, k);
    }
    m_accumulators[0] = left;
    m_accumulators[1] = right;
    return;
  }
  for (int c = 0; c < m_channels; ++c) {
    int64_t acc = m_accumulators[c];
    Sample* s = samples + c;
    for (int32_t f = 0; f < frames; ++f, s += m_channels) *s = dcStep(*s, acc, k);
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
  constexpr int kLanes = 8;
  // The largest and smallest sample of each channel; the magnitude is taken
  // wide, once, at the end.
  auto levelOf = [](Sample highest, Sample lowest) {
    return static_cast<int8_t>(levelOfPeak(std::max<int64_t>(highest, -static_cast<int64_t>(lowest))));
  };
  if (channels > 0 && kLanes % channels == 0) {
    // Eight samples at a time, lane j holding channel j % channels: a loop
    // of fixed width that the compiler turns into vector code.
    std::array<Sample, kLanes> highest{};
    std::array<Sample, kLanes> lowest{};
    const int64_t count = static_cast<int64_t>(frames) * channels;
    int64_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
      for (int j = 0; j < kLanes; ++j) {
        highest[j] = std::max(highest[j], samples[i + j]);
        lowest[j] = std::min(lowest[j], samples[i + j]);
      }
    }
    for (int j = 0; i < count; ++i, ++j) {
      highest[j] = std::max(highest[j], samples[i]);
      lowest[j] = std::min(lowest[j], samples[i]);
    }
    for (int c = 0; c < channels; ++c) {
      Sample high = 0;
      Sample low = 0;
      for (int j = c; j < kLanes; j += channels) {
        high = std::max(high, highest[j]);
        low = std::min(low, lowest[j]);
      }
      record.levels[c] = levelOf(high, low);
    }
    return record;
  }
  for (int c = 0; c < channels; ++c) {
    Sample high = 0;
    Sample low = 0;
    for (int32_t f = 0; f < frames; ++f) {
      high = std::max(high, samples[static_cast<int64_t>(f) * channels + c]);
      low = std::min(low, samples[static_cast<int64_t>(f) * channels + c]);
    }
    record.levels[c] = levelOf(high, low);
  }
  return record;
}

int blockLevel(const LevelRecord& levels) {
  if (levels.channels == 0) return kSilentLevel;
  if (levels.channels == 1) return levels.levels[0];
  return std::max(levels.levels[0], levels.levels[1]);
}
