#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "devices/player_blocks.h"
#include "devices/player_volume.h"

namespace {

TEST(Pcm16Conversion, RoundsAndSaturatesInsteadOfWrapping) {
  struct Case {
    Sample in;
    int16_t out;
  };
  const Case cases[] = {
      {0, 0},        {7, 0},           {8, 1},           {-8, 0},          {-9, -1},
      {16 * 1000, 1000},               {-16 * 1000, -1000},
      {524272, 32767},                 // the largest that fits
      {524287, 32767},                 // a full-scale 24-bit sample (0x7fffff >> 4)
      {-524288, -32768},               {1 << 21, 32767}, {-(1 << 21), -32768},
      {INT32_MAX, 32767},              {INT32_MIN, -32768},
  };
  for (const Case& c : cases) EXPECT_EQ(int16FromSample(c.in), c.out) << c.in;

  const Sample samples[] = {524287, -524288, 16};
  uint8_t bytes[6];
  convertToPcm16(samples, 3, 1, bytes);
  EXPECT_EQ((std::vector<uint8_t>(bytes, bytes + 6)), (std::vector<uint8_t>{0xff, 0x7f, 0x00, 0x80, 0x01, 0x00}));
}

// The level worked out in floating point from the definition.
int referenceLevel(const std::vector<Sample>& samples, int channels, int channel) {
  double sum = 0;
  size_t frames = samples.size() / channels;
  for (size_t f = 0; f < frames; ++f) {
    double x = samples[f * channels + channel] >> 5;
    sum += x * x;
  }
  double mean = sum / frames;
  if (mean < 1) return -127;
  double level = 10 * std::log10(mean / 8388626.0);
  return std::clamp(static_cast<int>(std::trunc(level + (level >= 0 ? 0.5 : -0.5))), -127, 127);
}

std::vector<Sample> sine(int frames, int channels, double amplitude, double cycles) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      samples[static_cast<size_t>(f) * channels + c] =
          static_cast<Sample>(std::lround(amplitude * std::sin(2 * std::numbers::pi * cycles * f / frames)));
  return samples;
}

TEST(BlockLevels, FollowTheMeanSquareOnEveryChannelAndSilenceIsTheFloor) {
  // A full-scale sine is 12 above the reference; half scale 6 less.
  auto full = sine(4410, 1, 524272, 10);
  EXPECT_EQ(computeLevels(full.data(), 4410, 1).levels[0], 12);
  auto half = sine(4410, 1, 262136, 10);
  EXPECT_EQ(computeLevels(half.data(), 4410, 1).levels[0], 6);

  std::vector<Sample> silence(2 * 100, 0);
  LevelRecord quiet = computeLevels(silence.data(), 100, 2);
  EXPECT_EQ(quiet.channels, 2);
  EXPECT_EQ(quiet.levels[0], -127);
  EXPECT_EQ(quiet.levels[1], -127);

  // Channels apart; tiny, odd-length, and far beyond full scale (no overflow).
  std::vector<Sample> mixed;
  for (int f = 0; f < 8191; ++f) {
    mixed.push_back(f % 2 ? 300000 : -300000);
    mixed.push_back(f % 7 * 40);
    mixed.push_back(f % 2 ? INT32_MAX : INT32_MIN);
  }
  LevelRecord record = computeLevels(mixed.data(), 8191, 3);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(record.levels[c], referenceLevel(mixed, 3, c)) << c;
  EXPECT_EQ(record.levels[2], 87);  // (2^26)^2 against the reference
}

TEST(PlayerVolume, DecibelsMapToDeviceStepsBothWays) {
  struct Case {
    int db;
    uint16_t volume;
  };
  const Case setting[] = {{-127, 0}, {-36, 0}, {-35, 1424}, {0, 51264}, {10, 65504}, {11, 65535}, {127, 65535}};
  for (const Case& c : setting) EXPECT_EQ(deviceVolumeFromDb(c.db), c.volume) << c.db;
  const Case reading[] = {{-36, 0}, {-36, 1423}, {-35, 1424}, {10, 65535}, {0, 51264}};
  for (const Case& c : reading) EXPECT_EQ(dbFromDeviceVolume(c.volume), c.db) << c.volume;
  // Every value from -35 to +10 survives the round trip.
  for (int db = -35; db <= 10; ++db) EXPECT_EQ(dbFromDeviceVolume(deviceVolumeFromDb(db)), db);
  EXPECT_EQ(volumeLoweredBy(-125, 8), -127);
  EXPECT_EQ(volumeLoweredBy(125, -8), 127);
  EXPECT_EQ(volumeLoweredBy(0, 8), -8);
}

}  // namespace
