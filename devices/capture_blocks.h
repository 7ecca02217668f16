#pragma once
// The work done on every block the capture engine takes from the device:
// conversion of 16-bit PCM into Samples, removal of the input's DC offset,
// and the block's per-channel peak levels.

#include <cstdint>
#include <vector>

#include "core/sample.h"
#include "devices/player_blocks.h"

// Converts frames * channels little-endian 16-bit samples into Samples (v * 16).
void convertFromPcm16(const uint8_t* bytes, int32_t frames, int channels, Sample* out);

// A first-order high-pass per channel, corner near 7.5 Hz at every rate:
// y = x - (acc >> 12); acc += y * K, with K = 192,000 / rate + 1.
class DcFilter {
 public:
  DcFilter(int32_t sampleRate, int channels);
  // Filters frames interleaved samples in place.
  void process(Sample* samples, int32_t frames);
  static int32_t constantFor(int32_t sampleRate);

 private:
  int32_t m_k;
  int m_channels;
  // 64 bits: for a full-scale input the accumulator settles near x << 12,
  // beyond 32 bits.
  std::vector<int64_t> m_accumulators;
};

// The peak level of each channel over frames interleaved samples: 20 log10
// of the largest magnitude relative to 131,072 (a quarter of full scale),
// rounded half away from zero and kept to -127 ... 127; silence is -127.
// A 16-bit full-scale input reads 12.
LevelRecord computePeakLevels(const Sample* samples, int32_t frames, int channels);

// The level that opens and holds the voice gate: the louder of channels 0
// and 1 (channel 0 alone for mono).
int blockLevel(const LevelRecord& levels);
