#include "effects/sound_converter.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "effects/tests/edit_test_support.h"

namespace {

using edittest::samplesOf;
using edittest::soundFrom;

TEST(LinearFallbackConverter, MapsChannelsByCopyingOrAveraging) {
  LinearFallbackConverter converter;
  struct Case {
    std::vector<Sample> in;
    int inChannels, outChannels;
    std::vector<Sample> expected;
  } cases[] = {
      {{10, -20, 30}, 1, 2, {10, 10, -20, -20, 30, 30}},
      {{10, 20, -7, 0}, 2, 1, {15, -3}},  // the average, rounded toward zero
      {{1, 2, 3, 4, 5, 6}, 3, 2, {1, 2, 4, 5}},
      {{1, 2, 3, 4}, 2, 3, {1, 2, 2, 3, 4, 4}},
  };
  for (const auto& c : cases) {
    SoundBuffer in = soundFrom(c.in, c.inChannels, 8000);
    SoundBuffer out;
    ASSERT_EQ(converter.convert(in, 8000, c.outChannels, out, nullptr), JobResult::Done);
    EXPECT_EQ(out.channels(), c.outChannels);
    EXPECT_EQ(out.sampleRate(), 8000);
    EXPECT_EQ(samplesOf(out), c.expected) << c.inChannels << " to " << c.outChannels;
  }
}

TEST(LinearFallbackConverter, ChangesTheRateByLinearInterpolation) {
  LinearFallbackConverter converter;
  struct Case {
    int32_t from, to;
    std::vector<Sample> in, expected;
  } cases[] = {
      {8000, 16000, {0, 100, 200}, {0, 50, 100, 150, 200, 200}},
      {16000, 8000, {0, 100, 200, 300, 400, 500}, {0, 200, 400}},
      {8000, 12000, {0, 300, -300, 600}, {0, 200, 100, -300, 300, 600}},
      {44100, 22050, {7}, {7}},  // half a frame rounds up to one
  };
  for (const auto& c : cases) {
    SoundBuffer out;
    ASSERT_EQ(converter.convert(soundFrom(c.in, 1, c.from), c.to, 1, out, nullptr), JobResult::Done);
    EXPECT_EQ(out.sampleRate(), c.to);
    EXPECT_EQ(samplesOf(out), c.expected) << c.from << " to " << c.to;
  }
}

TEST(LinearFallbackConverter, ARampStaysARampOverManyChunks) {
  // 44,100 to 48,000 Hz over three seconds: every output frame j lies at input
  // position j x 44100 / 48000, and a straight line interpolates exactly.
  const int32_t frames = 3 * 44100;
  std::vector<Sample> line(frames);
  for (int32_t f = 0; f < frames; ++f) line[f] = f * 48;
  SoundBuffer out;
  LinearFallbackConverter converter;
  ASSERT_EQ(converter.convert(soundFrom(line, 1, 44100), 48000, 1, out, nullptr), JobResult::Done);
  ASSERT_EQ(out.totalFrames(), 3 * 48000);
  std::vector<Sample> samples = samplesOf(out);
  for (int32_t j = 0; j < 3 * 48000 - 1; ++j) ASSERT_EQ(samples[j], int64_t{j} * 44100 / 1000) << j;
}

TEST(LinearFallbackConverter, ACancelLeavesTheOutputAlone) {
  SoundBuffer out = soundFrom({1, 2, 3}, 1, 8000);
  edittest::CancelAfter cancel(1);
  LinearFallbackConverter converter;
  EXPECT_EQ(converter.convert(soundFrom(std::vector<Sample>(3 * kProcessChunkFrames, 5), 1, 8000), 16000, 1, out,
                              &cancel),
            JobResult::Cancelled);
  EXPECT_EQ(samplesOf(out), (std::vector<Sample>{1, 2, 3}));
}

}  // namespace
