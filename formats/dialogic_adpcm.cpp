#include "formats/dialogic_adpcm.h"

namespace {

// Step sizes, growing by about 10% each; the index walks through them.
constexpr int16_t kStepSizes[49] = {
    16,  17,  19,  21,  23,  25,  28,  31,  34,  37,  41,  45,   50,   55,   60,   66,   73,
    80,  88,  97,  107, 118, 130, 143, 157, 173, 190, 209, 230,  253,  279,  307,  337,  371,
    408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552};
constexpr int kLastStepIndex = 48;

// Index change by the code's magnitude bits: small steps shrink the step
// size, large ones grow it quickly.
constexpr int kStepIndexChange[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

}  // namespace

int16_t DialogicAdpcmDecoder::decode(uint8_t code) {
  const int step = kStepSizes[m_stepIndex];
  // The difference is (magnitude + 1/2) steps in quarters, each term
  // truncated on its own as the hardware does.
  int difference = step >> 3;
  if (code & 4) difference += step;
  if (code & 2) difference += step >> 1;
  if (code & 1) difference += step >> 2;
  if (code & 8) difference = -difference;

  m_predicted = static_cast<int16_t>(clampTo(m_predicted + difference, kAdpcmSampleMin, kAdpcmSampleMax));
  m_stepIndex = clampTo(m_stepIndex + kStepIndexChange[code & 7], 0, kLastStepIndex);
  return m_predicted;
}

void DialogicAdpcmDecoder::decodeBytes(const uint8_t* bytes, size_t count, int16_t* samples) {
  for (size_t i = 0; i < count; ++i) {
    samples[2 * i] = decode(bytes[i] >> 4);
    samples[2 * i + 1] = decode(bytes[i] & 0x0F);
  }
}

void DialogicAdpcmDecoder::reset() {
  m_predicted = 0;
  m_stepIndex = 0;
}

uint8_t DialogicAdpcmEncoder::encode(int sample) {
  sample = clampTo(sample, kAdpcmSampleMin, kAdpcmSampleMax);
  const int step = kStepSizes[m_tracker.stepIndex()];
  int difference = sample - m_tracker.predicted();
  uint8_t code = 0;
  if (difference < 0) {
    code = 8;
    difference = -difference;
  }
  // Successive approximation of the difference in steps, halves and quarters.
  if (difference >= step) {
    code |= 4;
    difference -= step;
  }
  if (difference >= step >> 1) {
    code |= 2;
    difference -= step >> 1;
  }
  if (difference >= step >> 2) code |= 1;
  m_tracker.decode(code);
  return code;
}
