#include "core/format_adapter_source.h"

#include <gtest/gtest.h>

#include "core/tests/block_test_support.h"

namespace {

using coretest::bufferFrom;
using coretest::readFrames;

TEST(FormatAdapterSource, MapsChannelsByCopyingOrAveraging) {
  SoundBuffer mono = bufferFrom({10, 20, 30}, 1, 8000);
  auto stereo = adaptSourceFormat(mono.openReader(), 8000, 2);
  EXPECT_EQ(stereo->channels(), 2);
  EXPECT_EQ(readFrames(*stereo, 3), (std::vector<Sample>{10, 10, 20, 20, 30, 30}));

  SoundBuffer pair = bufferFrom({10, 30, -5, 5, 100, 0}, 2, 8000);
  auto down = adaptSourceFormat(pair.openReader(), 8000, 1);
  EXPECT_EQ(readFrames(*down, 4), (std::vector<Sample>{20, 0, 50, 0}));  // past the end: silence
}

TEST(FormatAdapterSource, ChangesTheRateByInterpolating) {
  std::vector<Sample> ramp;
  for (int i = 0; i < 20000; ++i) ramp.push_back(i * 10);
  SoundBuffer sound = bufferFrom(ramp, 1, 16000);
  auto half = adaptSourceFormat(sound.openReader(), 8000, 1);
  EXPECT_EQ(half->length(), 10000);
  auto out = readFrames(*half, 10000);
  for (int i : {0, 1, 4095, 4096, 4097, 9999}) EXPECT_EQ(out[i], i * 20) << i;

  auto twice = adaptSourceFormat(sound.openReader(), 32000, 1);
  EXPECT_EQ(twice->length(), 40000);
  auto up = readFrames(*twice, 40000);
  for (int i : {0, 1, 2, 3, 16383, 16384, 16385, 39997}) EXPECT_EQ(up[i], i * 5) << i;

  // A source already in the format passes through unchanged.
  auto same = sound.openReader();
  EXPECT_EQ(adaptSourceFormat(same, 16000, 1).get(), same.get());
}

TEST(FormatAdapterSource, RefusesRatesAndChannelCountsItCannotServe) {
  SoundBuffer sound = bufferFrom({1, 2, 3}, 1, 8000);
  for (auto [rate, channels] : {std::pair{0, 1}, {-8000, 1}, {FormatAdapterSource::kMaxRate + 1, 1}, {8000, 0},
                                {16000, 256}}) {
    FormatAdapterSource adapted(sound.openReader(), rate, channels);
    EXPECT_FALSE(adapted.good()) << rate << " Hz, " << channels << " channels";
  }
  // The largest rates do not overflow the position arithmetic.
  FormatAdapterSource fast(sound.openReader(), FormatAdapterSource::kMaxRate, 1);
  EXPECT_TRUE(fast.good());
  auto out = readFrames(fast, 3);
  EXPECT_EQ(out[0], 1);
}

}  // namespace
