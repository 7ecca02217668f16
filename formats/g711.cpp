#include "formats/g711.h"

// Both companding laws split the magnitude into eight segments of sixteen
// steps each; a code is sign, segment (3 bits) and step (4 bits), stored with
// some bits inverted so that silence does not give long runs of zero bytes.

namespace {

// mu-law works on a 14-bit magnitude to which a bias of 33 is added, so that
// every segment starts at a power of two: segment s covers biased magnitudes
// 32 << s up to (64 << s) - 1.
constexpr int kMuLawBias = 33;
constexpr int kMuLawClip = 8159;  // from here up, the magnitude takes the top code

// Index of the highest set bit of a positive value (0 for 1).
int highestBit(int value) {
  int bit = 0;
  while (value >>= 1) ++bit;
  return bit;
}

// A 16-bit sample rounded to a narrower width by dropping shift bits; the
// largest values, which would round up past the width, stay at its maximum.
int roundedToWidth(int16_t sample, int shift) {
  const int largest = 32767 >> shift;
  const int value = (sample + (1 << (shift - 1))) >> shift;
  return value > largest ? largest : value;
}

}  // namespace

int16_t muLawToLinear(uint8_t code) {
  const int bits = ~code & 0xFF;
  const int segment = (bits >> 4) & 7;
  const int step = bits & 0x0F;
  // Middle of the step, in the 16-bit scale (the 14-bit value times 4).
  const int biased = ((step << 3) + 0x84) << segment;
  const int magnitude = biased - 0x84;
  return static_cast<int16_t>((bits & 0x80) ? -magnitude : magnitude);
}

uint8_t linearToMuLaw(int16_t sample) {
  // The 14-bit value, rounded to nearest (halves upwards) and kept below 8,192.
  int value = roundedToWidth(sample, 2);
  uint8_t mask = 0xFF;  // positive codes have every bit inverted
  if (value < 0) {
    value = -value;
    mask = 0x7F;
  }
  if (value > kMuLawClip) value = kMuLawClip;
  const int biased = value + kMuLawBias;
  const int segment = highestBit(biased) - 5;  // biased >= 33, so segment >= 0
  // Only the clipped magnitude itself reaches past the last segment.
  if (segment > 7) return static_cast<uint8_t>(0x7F ^ mask);
  const int step = (biased >> (segment + 1)) & 0x0F;
  return static_cast<uint8_t>(((segment << 4) | step) ^ mask);
}

int16_t aLawToLinear(uint8_t code) {
  const int bits = code ^ 0x55;  // even bits are inverted on the line
  const int segment = (bits >> 4) & 7;
  int magnitude = (bits & 0x0F) << 4;
  // Middle of the step, in the 16-bit scale (the 13-bit value times 8).
  if (segment == 0) {
    magnitude += 8;
  } else {
    magnitude += 0x108;
    magnitude <<= segment - 1;
  }
  return static_cast<int16_t>((bits & 0x80) ? magnitude : -magnitude);
}

uint8_t linearToALaw(int16_t sample) {
  // The 13-bit value, rounded like mu-law's; negatives map v to -v - 1 so
  // that both signs have 4,096 magnitudes.
  int value = roundedToWidth(sample, 3);
  uint8_t mask = 0xD5;  // sign bit set for positives, even bits inverted
  if (value < 0) {
    value = -value - 1;
    mask = 0x55;
  }
  // Segment 0 and 1 share the step size of 2; above, segment s covers
  // magnitudes 16 << s up to (32 << s) - 1.
  if (value > 0xFFF) return static_cast<uint8_t>(0x7F ^ mask);
  const int segment = value < 32 ? 0 : highestBit(value) - 4;
  const int step = (value >> (segment < 2 ? 1 : segment)) & 0x0F;
  return static_cast<uint8_t>(((segment << 4) | step) ^ mask);
}
