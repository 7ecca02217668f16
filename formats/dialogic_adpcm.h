#pragma once
// Dialogic (OKI) 4-bit ADPCM: 12-bit samples, each coded as a 4-bit step
// from the previous one, two codes a byte with the earlier sample in the
// high nibble. Both ends keep the same predictor state, which depends on the
// whole history, so a stream can only be decoded from its start.

#include <cstddef>
#include <cstdint>

#include "core/sample.h"

// The range of the 12-bit samples the codec carries.
constexpr int kAdpcmSampleMin = -2048;
constexpr int kAdpcmSampleMax = 2047;

class DialogicAdpcmDecoder {
 public:
  // Decodes a 4-bit code (the low nibble) into the next 12-bit sample.
  int16_t decode(uint8_t code);
  // Decodes the 2 x count codes of count bytes into 2 x count samples.
  void decodeBytes(const uint8_t* bytes, size_t count, int16_t* samples);
  // Back to the state at the start of a stream.
  void reset();

  int16_t predicted() const { return m_predicted; }
  int stepIndex() const { return m_stepIndex; }

 private:
  int16_t m_predicted = 0;
  int m_stepIndex = 0;
};

class DialogicAdpcmEncoder {
 public:
  // Codes a 12-bit sample (kept to the range) into a 4-bit code.
  uint8_t encode(int sample);
  void reset() { m_tracker.reset(); }

 private:
  // The encoder follows the decoder's reconstruction so that both stay in step.
  DialogicAdpcmDecoder m_tracker;
};

// The 12-bit samples in the system's scale: the codec's value is taken as the
// top 12 bits of a 16-bit sample.
inline Sample sampleFromAdpcm12(int16_t v) { return static_cast<Sample>(v) * 256; }
// Rounds to the nearest 12-bit value and saturates.
inline int adpcm12FromSample(Sample s) {
  return clampTo((static_cast<int64_t>(s) + 128) >> 8, kAdpcmSampleMin, kAdpcmSampleMax);
}
