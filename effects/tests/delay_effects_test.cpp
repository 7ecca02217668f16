// Echo, reverb, the modulated delays and vocal reduction against plain
// re-statements of their formulas, written here without the effects' code.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "effects/delay_filter_effects.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

std::vector<Sample> noise(size_t count, Sample amplitude, unsigned seed = 7) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<Sample> value(-amplitude, amplitude);
  std::vector<Sample> samples(count);
  for (Sample& s : samples) s = value(generator);
  return samples;
}

Sample saturate(long long value) {
  return static_cast<Sample>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::vector<Sample> referenceEcho(std::vector<Sample> x, int channels, int rate, int ms, int gainPercent) {
  if (ms < 1) return x;
  long long delay = ((ms % 1000) * static_cast<long long>(rate) / 1000 + (ms / 1000) * static_cast<long long>(rate)) *
                    channels;
  delay = std::max<long long>(delay, 20);
  const long long g = std::min(gainPercent, 99) * 512 / 100;
  std::vector<long long> ring(static_cast<size_t>(delay), 0);
  size_t i = 0;
  for (Sample& s : x) {
    const Sample y = saturate(s + ((g * ring[i]) >> 9));
    ring[i] = y;
    s = y;
    i = (i + 1) % ring.size();
  }
  return x;
}

std::vector<Sample> referenceReverb(std::vector<Sample> x, int channels, int rate, int ms, int level) {
  long long n = ((ms % 1000) * static_cast<long long>(rate) / 1000 + (ms / 1000) * static_cast<long long>(rate)) *
                channels;
  n = std::max<long long>(n, 128);
  std::vector<long long> ring(static_cast<size_t>(n), 0);
  long long read[4] = {static_cast<long long>(n * 0.7413), static_cast<long long>(n * 0.5581),
                       static_cast<long long>(n * 0.3823), static_cast<long long>(n * 0.211)};
  const long long g = level * 512 / 100;
  const long long gains[5] = {static_cast<long long>(g * 0.4), static_cast<long long>(g * 0.1),
                              static_cast<long long>(g * 0.3), static_cast<long long>(g * 0.07),
                              static_cast<long long>(g * 0.13)};
  long long w = 0;
  for (Sample& s : x) {
    long long y = s;
    for (int t = 0; t < 4; ++t) y += (ring[read[t]] * gains[t]) >> 9;
    y += (ring[w] * gains[4]) >> 9;
    ring[w] = saturate(y);
    s = saturate(y);
    for (long long& r : read) r = (r + 1) % n;
    w = (w + 1) % n;
  }
  return x;
}

std::vector<Sample> referenceModulatedDelay(std::vector<Sample> x, int channels, int rate, int ms, double hz,
                                            int depth, int gain) {
  const long long D = static_cast<long long>(rate) * ms / 1000, d = D * depth / 100;
  const long long n = (D + 2 + d) * channels;
  std::vector<Sample> ring(static_cast<size_t>(n), 0);
  double phase = 0;
  long long w = 0;
  for (size_t f = 0; f < x.size() / channels; ++f) {
    const double delay = D + d * std::sin(phase);
    const long long di = static_cast<long long>(delay);
    const double frac = delay - di;
    phase += 2 * 3.14159265358979323846 * hz / rate;
    for (int c = 0; c < channels; ++c) {
      Sample& s = x[f * channels + c];
      ring[w] = s;
      const double delayed = ring[(n - di * channels + w) % n] * (1 - frac) +
                             ring[((n - channels - di * channels + w) % n + n) % n] * frac;
      s = saturate(s + static_cast<long long>(delayed * (gain * 0.01)));
      w = (w + 1) % n;
    }
  }
  return x;
}

TEST(DelayEffects, EchoFeedsBackItsOutputAfterTheDelay) {
  // 10 ms at 8,000 Hz mono: 80 samples; 1 ms is raised to 20 samples.
  EXPECT_EQ(echoDelaySamples(10, 8000, 1), 80);
  EXPECT_EQ(echoDelaySamples(1, 8000, 1), 20);
  EXPECT_EQ(echoDelaySamples(2500, 44100, 2), 220500);

  std::vector<Sample> impulse(400, 0);
  impulse[0] = 1 << 16;
  SoundBuffer sound = soundFrom(impulse, 1, 8000);
  ASSERT_EQ(echo(sound, 0, 400, {10, 50}), JobResult::Done);
  const std::vector<Sample> out = samplesOf(sound);
  // g = 256: each repeat half the one before, 80 samples apart.
  EXPECT_EQ(out[0], 1 << 16);
  EXPECT_EQ(out[80], 1 << 15);
  EXPECT_EQ(out[160], 1 << 14);
  EXPECT_EQ(out[320], 1 << 12);
  EXPECT_EQ(out[79], 0);

  for (int channels : {1, 2}) {
    for (auto [ms, gain] : {std::pair{10, 99}, {1, 50}, {800, 75}, {3000, 40}}) {
      SCOPED_TRACE(testing::Message() << channels << " channels, " << ms << " ms, " << gain << " %");
      const std::vector<Sample> input = noise(22050 * channels, 300000);
      SoundBuffer noisy = soundFrom(input, channels, 11025);
      ASSERT_EQ(echo(noisy, 0, 22050, {ms, gain}), JobResult::Done);
      EXPECT_EQ(samplesOf(noisy), referenceEcho(input, channels, 11025, ms, gain));
    }
  }
  // Gain 0 and a time below 1 ms leave the audio as it was.
  const std::vector<Sample> input = noise(5000, 400000);
  for (EchoParams params : {EchoParams{500, 0}, EchoParams{0, 90}}) {
    SoundBuffer same = soundFrom(input, 1, 8000);
    ASSERT_EQ(echo(same, 0, 5000, params), JobResult::Done);
    EXPECT_EQ(samplesOf(same), input);
  }
}

TEST(DelayEffects, EchoAtFullGainSaturatesInsteadOfWrappingAndEndsAtTheSelection) {
  // Repeats at gain 99 decay slowly; a sound at the top of the range stays there.
  std::vector<Sample> loud(2000, INT32_MAX / 2);
  SoundBuffer sound = soundFrom(loud, 1, 8000);
  ASSERT_EQ(echo(sound, 0, 2000, {10, 99}), JobResult::Done);
  for (Sample s : samplesOf(sound)) ASSERT_GT(s, 0);

  // Only the selection changes; the tail past its end is cut.
  std::vector<Sample> input = noise(3000, 100000);
  SoundBuffer part = soundFrom(input, 1, 8000);
  ASSERT_EQ(echo(part, 1000, 2000, {10, 99}), JobResult::Done);
  const std::vector<Sample> out = samplesOf(part);
  ASSERT_EQ(out.size(), input.size());
  EXPECT_TRUE(std::equal(input.begin(), input.begin() + 1000, out.begin()));
  EXPECT_TRUE(std::equal(input.begin() + 2000, input.end(), out.begin() + 2000));
  const std::vector<Sample> middle(input.begin() + 1000, input.begin() + 2000);
  EXPECT_TRUE(std::equal(out.begin() + 1000, out.begin() + 2000, referenceEcho(middle, 1, 8000, 10, 99).begin()));
}

TEST(DelayEffects, ReverbSumsItsFiveTaps) {
  for (int channels : {1, 2}) {
    for (auto [ms, level] : {std::pair{50, 100}, {250, 50}, {1000, 75}, {60, 25}}) {
      SCOPED_TRACE(testing::Message() << channels << " channels, " << ms << " ms, level " << level);
      const std::vector<Sample> input = noise(30000 * channels, 200000, 11);
      SoundBuffer sound = soundFrom(input, channels, 22050);
      ASSERT_EQ(reverb(sound, 0, 30000, {level, ms}), JobResult::Done);
      EXPECT_EQ(samplesOf(sound), referenceReverb(input, channels, 22050, ms, level));
    }
  }
  const std::vector<Sample> input = noise(9000, 300000);
  SoundBuffer dry = soundFrom(input, 1, 8000);
  ASSERT_EQ(reverb(dry, 0, 9000, {0, 500}), JobResult::Done);
  EXPECT_EQ(samplesOf(dry), input);
}

TEST(DelayEffects, PhaserFlangerAndChorusFollowTheModulatedDelay) {
  struct Case {
    int ms, depth, gain;
    double hz;
  };
  for (int channels : {1, 2}) {
    for (Case c : {Case{5, 70, 100, 0.5}, Case{3, 0, 100, 0.0}, Case{40, 5, 80, 0.5}, Case{65, 30, 50, 2.0},
                   Case{10, 100, 100, 5.0}, Case{0, 50, 100, 1.0}}) {
      SCOPED_TRACE(testing::Message() << channels << " channels, " << c.ms << " ms, depth " << c.depth);
      const std::vector<Sample> input = noise(40000 * channels, 300000, 5);
      SoundBuffer sound = soundFrom(input, channels, 44100);
      const ModulatedDelayParams params{c.ms, static_cast<int32_t>(std::lround(c.hz * 1000)), c.depth, c.gain};
      ASSERT_EQ(modulatedDelay(sound, 0, 40000, params, kFlangerName), JobResult::Done);
      EXPECT_EQ(samplesOf(sound), referenceModulatedDelay(input, channels, 44100, c.ms, c.hz, c.depth, c.gain));
    }
  }
  // The phaser is the fixed delay: gain 100 % at 5 ms adds the input 220 frames later.
  std::vector<Sample> impulse(1000, 0);
  impulse[10] = 1000;
  SoundBuffer sound = soundFrom(impulse, 1, 44100);
  ASSERT_EQ(phaser(sound, 0, 1000, {5, 100}), JobResult::Done);
  const std::vector<Sample> out = samplesOf(sound);
  EXPECT_EQ(out[10], 1000);
  EXPECT_EQ(out[230], 1000);
  EXPECT_EQ(std::count(out.begin(), out.end(), 0), 998);
}

TEST(DelayEffects, ReduceVocalsWritesTheDifferenceToBothChannels) {
  // The same voice in both channels cancels; what differs stays, on both sides.
  std::vector<Sample> stereo;
  for (int f = 0; f < 10000; ++f) {
    const Sample voice = static_cast<Sample>(200000 * std::sin(f * 0.05));
    const Sample side = (f % 7) * 1000;
    stereo.push_back(voice + side);
    stereo.push_back(voice);
  }
  SoundBuffer sound = soundFrom(stereo, 2, 22050);
  ASSERT_EQ(reduceVocals(sound, 0, 10000), JobResult::Done);
  EXPECT_EQ(sound.channels(), 2);
  EXPECT_EQ(sound.totalFrames(), 10000);
  const std::vector<Sample> out = samplesOf(sound);
  for (int f = 0; f < 10000; ++f) {
    ASSERT_EQ(out[2 * f], (f % 7) * 1000) << f;
    ASSERT_EQ(out[2 * f + 1], (f % 7) * 1000) << f;
  }
  // Extremes saturate rather than wrap.
  SoundBuffer extreme = soundFrom({INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX}, 2);
  ASSERT_EQ(reduceVocals(extreme, 0, 2), JobResult::Done);
  EXPECT_EQ(samplesOf(extreme), (std::vector<Sample>{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}));
  // Mono is refused and left alone.
  SoundBuffer mono = soundFrom(std::vector<Sample>(100, 5), 1);
  EXPECT_EQ(reduceVocals(mono, 0, 100), JobResult::Failed);
  EXPECT_EQ(samplesOf(mono), std::vector<Sample>(100, 5));
}

TEST(DelayEffects, CancelLeavesTheSoundAsItWas) {
  const std::vector<Sample> input = noise(100000, 300000);
  SoundBuffer sound = soundFrom(input, 1, 44100);
  CancelAfter cancel(3);
  EXPECT_EQ(echo(sound, 0, 100000, {100, 50}, &cancel), JobResult::Cancelled);
  EXPECT_EQ(samplesOf(sound), input);
  CancelAfter cancelReverb(2);
  EXPECT_EQ(reverb(sound, 0, 100000, {100, 500}, &cancelReverb), JobResult::Cancelled);
  EXPECT_EQ(samplesOf(sound), input);
}

}  // namespace
