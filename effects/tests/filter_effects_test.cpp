// The high-pass biquad, the equalizer, distortion and the radio and
// telephone effects: against plain re-statements of their formulas, against
// sox, and by the response measured on noise.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "effects/delay_filter_effects.h"
#include "effects/real_fft.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<Sample> noise(size_t count, Sample amplitude, unsigned seed = 3) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<Sample> value(-amplitude, amplitude);
  std::vector<Sample> samples(count);
  for (Sample& s : samples) s = value(generator);
  return samples;
}

Sample saturate(long long value) { return static_cast<Sample>(std::clamp<long long>(value, INT32_MIN, INT32_MAX)); }

// s * g / 2^24 on 12-bit halves, without the product of the low halves.
long long splitMultiply(long long s, long long g) {
  const long long sh = s >> 12, sl = s & 4095, gh = g >> 12, gl = g & 4095;
  return sh * gh + ((sl * gh) >> 12) + ((sh * gl) >> 12);
}

std::vector<Sample> referenceHighPass(const std::vector<Sample>& x, int channels, double f, double rate) {
  const double w = 2 * kPi * f / rate, alpha = std::sin(w) * 0.7072135785007072, a0 = 1 + alpha;
  auto fixed = [](double v) { return static_cast<long long>(v * 16777216.0); };
  const long long b0 = fixed((1 + std::cos(w)) / 2 / a0), b1 = -2 * b0;
  const long long a1 = fixed(-2 * std::cos(w) / a0), a2 = fixed((1 - alpha) / a0);
  std::vector<Sample> y(x.size());
  for (int c = 0; c < channels; ++c) {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = c; i < x.size(); i += channels) {
      const double out = (b0 * double(x[i]) + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2) / 16777216.0;
      x2 = x1, x1 = x[i], y2 = y1, y1 = out;
      y[i] = saturate(std::llround(out));
    }
  }
  return y;
}

// round(sum over t of h[|t|] x[n + t] / 32768), silence outside the sound.
std::vector<Sample> directEqualizer(const std::vector<Sample>& x, int channels, const std::vector<int32_t>& h) {
  const long long frames = static_cast<long long>(x.size()) / channels;
  std::vector<Sample> y(x.size());
  for (int c = 0; c < channels; ++c)
    for (long long n = 0; n < frames; ++n) {
      long long sum = 0;
      for (long long t = -2047; t <= 2047; ++t) {
        const long long m = n + t;
        if (m >= 0 && m < frames) sum += static_cast<long long>(h[std::abs(t)]) * x[m * channels + c];
      }
      y[n * channels + c] = saturate(std::llround(sum / 32768.0));
    }
  return y;
}

EnvelopeCurve curveOf(std::vector<EnvelopePoint> points) { return EnvelopeCurve{std::move(points)}; }

// Power gain of a filter per band of 32 bins of 2,048, measured on the
// sound before and after it, in dB.
std::vector<double> measuredGainDecibels(const std::vector<Sample>& before, const std::vector<Sample>& after) {
  constexpr int kFrame = 4096, kBands = 64;
  RealFft fft(kFrame);
  std::vector<float> frame(kFrame), re(fft.bins()), im(fft.bins());
  std::vector<double> powerIn(kBands), powerOut(kBands);
  for (size_t at = 4096; at + kFrame + 4096 < before.size(); at += kFrame / 2) {
    for (int pass = 0; pass < 2; ++pass) {
      const std::vector<Sample>& source = pass ? after : before;
      for (int i = 0; i < kFrame; ++i)
        frame[i] = static_cast<float>(source[at + i] * (0.5 - 0.5 * std::cos(2 * kPi * i / kFrame)));
      fft.forward(frame.data(), re.data(), im.data());
      for (int k = 1; k < kFrame / 2; ++k) (pass ? powerOut : powerIn)[k / 32] += re[k] * re[k] + im[k] * im[k];
    }
  }
  std::vector<double> gains(kBands);
  for (int b = 0; b < kBands; ++b) gains[b] = 10 * std::log10(powerOut[b] / powerIn[b]);
  return gains;
}

TEST(FilterEffects, HighPassFollowsTheFixedPointBiquad) {
  for (int channels : {1, 2}) {
    for (int frequency : {250, 10, 4000, 200}) {
      SCOPED_TRACE(testing::Message() << channels << " channels at " << frequency << " Hz");
      const std::vector<Sample> input = noise(20000 * channels, 400000);
      SoundBuffer sound = soundFrom(input, channels, 44100);
      ASSERT_EQ(highPass(sound, 0, 20000, {frequency}), JobResult::Done);
      EXPECT_EQ(samplesOf(sound), referenceHighPass(input, channels, frequency, 44100));
    }
  }
  // A constant decays to nothing.
  SoundBuffer dc = edittest::constantSound(44100, 300000, 1, 44100);
  ASSERT_EQ(highPass(dc, 0, 44100, {250}), JobResult::Done);
  const std::vector<Sample> out = samplesOf(dc);
  EXPECT_GT(out[0], 200000);
  for (size_t i = 4000; i < out.size(); ++i) ASSERT_LE(std::abs(out[i]), 2) << i;
  // Nor does a low corner leave an offset behind on noise (the truncating
  // fixed-point loop drifted beyond full scale at 10 Hz).
  SoundBuffer slow = soundFrom(noise(44100 * 4, 300000), 1, 44100);
  ASSERT_EQ(highPass(slow, 0, 44100 * 4, {10}), JobResult::Done);
  const std::vector<Sample> slowOut = samplesOf(slow);
  double sum = 0;
  for (size_t i = 44100; i < slowOut.size(); ++i) sum += slowOut[i];
  EXPECT_LT(std::abs(sum / (slowOut.size() - 44100)), 300.0);
  // A corner above half the rate passes nothing rather than folding back.
  SoundBuffer folded = soundFrom(noise(8000, 300000), 1, 8000);
  ASSERT_EQ(highPass(folded, 0, 8000, {7000}), JobResult::Done);
  EXPECT_LT(rms(samplesOf(folded), 1, 0, 100, 8000), 100);
}

TEST(FilterEffects, HighPassMatchesSox) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder scratch;
  const std::string in = scratch.file("noise.wav");
  SoundBuffer sound = makeMaterial(scratch, "noise.wav",
                                   "sox -V1 -R -n -r 44100 -c 2 -b 16 " + in + " synth 3 whitenoise gain -6");
  SoundBuffer theirs = makeMaterial(scratch, "sox.wav",
                                    "sox -V1 -R -D " + in + " -b 32 " + scratch.file("sox.wav") +
                                        " highpass 250 0.707q");
  ASSERT_EQ(highPass(sound, 0, sound.totalFrames(), {250}), JobResult::Done);
  const std::vector<Sample> ours = samplesOf(sound), reference = samplesOf(theirs);
  ASSERT_EQ(ours.size(), reference.size());
  double error = 0, signal = 0, largest = 0;
  for (size_t i = 0; i < ours.size(); ++i) {
    const double difference = ours[i] - static_cast<double>(reference[i]);
    error += difference * difference;
    signal += ours[i] * static_cast<double>(ours[i]);
    largest = std::max(largest, std::abs(difference));
  }
  EXPECT_LT(10 * std::log10(error / signal), -80.0);
  EXPECT_LT(largest, 16.0);  // within one 16-bit step
}

TEST(FilterEffects, EqualizerTableFromCurveStaysInsideItsBins) {
  // 0 and 20,000 Hz at the ends; the inverse gives the position back.
  EXPECT_DOUBLE_EQ(equalizerFrequency(0), 0.0);
  EXPECT_NEAR(equalizerFrequency(255), 20000.0, 1e-9);
  for (int p : {1, 64, 128, 200, 254}) EXPECT_NEAR(equalizerPosition(equalizerFrequency(p)), p, 1e-9);

  // At 8,000 Hz half the band lies above half the rate: no bin past 2,047.
  const EqualizerTable low = equalizerTable(curveOf({{0, 128}, {200, 255}, {255, 0}}), 8000);
  const int at4k = static_cast<int>(equalizerPosition(4000));
  const EqualizerTable cut = equalizerTable(curveOf({{0, 128}, {static_cast<uint8_t>(at4k), 128}, {255, 0}}), 8000);
  EXPECT_EQ(cut[0], 128);
  EXPECT_EQ(low[0], 128);
  // The last bin carries the slope's value at half the rate, not the curve's end.
  const int64_t endBin = static_cast<int64_t>(equalizerFrequency(200) * 2 / 8000 * 2048);
  EXPECT_GT(endBin, 2047);
  EXPECT_EQ(low[2047], 128 + 2047 * (255 - 128) / endBin);

  // Two points in one bin take the later level without dividing by zero.
  const EqualizerTable step = equalizerTable(curveOf({{0, 10}, {100, 10}, {100, 200}, {255, 200}}), 44100);
  const int64_t bin = static_cast<int64_t>(equalizerFrequency(100) * 2 / 44100 * 2048);
  EXPECT_EQ(step[bin], 200);
  EXPECT_EQ(step[bin - 1], 10);
  EXPECT_EQ(step[2047], 200);
  // Fewer than two points: the first level everywhere.
  EXPECT_EQ(equalizerTable(curveOf({{40, 77}}), 44100), [] {
    EqualizerTable t;
    t.fill(77);
    return t;
  }());
  // Interpolation from each point to the next, truncated.
  const EqualizerTable ramp = equalizerTable(curveOf({{0, 0}, {255, 255}}), 40000);
  EXPECT_EQ(ramp[0], 0);
  EXPECT_EQ(ramp[1024], 1024 * 255 / 2048);
}

TEST(FilterEffects, FlatEqualizerLeavesTheAudioUnchanged) {
  EqualizerTable flat;
  flat.fill(128);
  const std::vector<int32_t> taps = equalizerTaps(flat);
  EXPECT_EQ(taps[0], kEqualizerUnityTap);
  EXPECT_EQ(std::count(taps.begin() + 1, taps.end(), 0), 2047);
  for (int channels : {1, 2}) {
    const std::vector<Sample> input = noise(70000 * channels, 524272);
    SoundBuffer sound = soundFrom(input, channels, 44100);
    ASSERT_EQ(equalizer(sound, 0, 70000, curveOf({{0, 128}, {255, 128}})), JobResult::Done);
    EXPECT_EQ(samplesOf(sound), input);
  }
}

TEST(FilterEffects, EqualizerByFftMatchesTheDirectConvolution) {
  const EqualizerTable table =
      equalizerTable(curveOf({{0, 60}, {90, 200}, {140, 30}, {180, 255}, {230, 0}, {255, 128}}), 22050);
  const std::vector<int32_t> taps = equalizerTaps(table);
  // Shorter and longer than one transform block, and a selection inside the sound.
  for (int channels : {1, 2}) {
    const std::vector<Sample> input = noise(30000 * channels, 524272, 9);
    SoundBuffer sound = soundFrom(input, channels, 22050);
    ASSERT_EQ(equalize(sound, 0, 30000, table), JobResult::Done);
    const std::vector<Sample> ours = samplesOf(sound), direct = directEqualizer(input, channels, taps);
    long long worst = 0;
    for (size_t i = 0; i < ours.size(); ++i) worst = std::max<long long>(worst, std::llabs(ours[i] - direct[i]));
    // Single-precision transforms: within 4 units of a 2^19 sample (a quarter of a 16-bit step).
    EXPECT_LE(worst, 4) << channels;
  }
  const std::vector<Sample> input = noise(5000, 300000, 4);
  SoundBuffer part = soundFrom(input, 1, 22050);
  ASSERT_EQ(equalize(part, 1000, 1300, table), JobResult::Done);
  const std::vector<Sample> ours = samplesOf(part);
  const std::vector<Sample> direct = directEqualizer(std::vector<Sample>(input.begin() + 1000, input.begin() + 1300), 1, taps);
  EXPECT_TRUE(std::equal(input.begin(), input.begin() + 1000, ours.begin()));
  EXPECT_TRUE(std::equal(input.begin() + 1300, input.end(), ours.begin() + 1300));
  for (size_t i = 0; i < 300; ++i) ASSERT_NEAR(ours[1000 + i], direct[i], 4) << i;
}

TEST(FilterEffects, EqualizerResponseOnWhiteNoiseFollowsItsCurve) {
  const EnvelopeCurve curve = curveOf({{0, 128}, {120, 220}, {170, 64}, {210, 128}, {255, 96}});
  const EqualizerTable table = equalizerTable(curve, 44100);
  const std::vector<Sample> input = noise(44100 * 8, 200000, 21);
  SoundBuffer sound = soundFrom(input, 1, 44100);
  ASSERT_EQ(equalizer(sound, 0, sound.totalFrames(), curve), JobResult::Done);
  const std::vector<double> measured = measuredGainDecibels(input, samplesOf(sound));
  for (int band = 1; band < 64; ++band) {
    double expected = 0;
    for (int k = band * 32; k < band * 32 + 32; ++k) expected += (table[k] / 128.0) * (table[k] / 128.0);
    expected = 10 * std::log10(expected / 32);
    EXPECT_NEAR(measured[band], expected, 0.5) << "band " << band;
  }
}

TEST(FilterEffects, TelephoneKeepsThreeHundredToThirtySixHundredHertz) {
  const EqualizerTable table = telephoneTable(44100);
  EXPECT_EQ(table[26], 0);
  EXPECT_EQ(table[27], 100);
  EXPECT_EQ(table[334], 100);
  EXPECT_EQ(table[335], 0);
  EXPECT_EQ(telephoneTable(0), table);  // no rate: 44,100
  const EqualizerTable narrow = telephoneTable(1000);  // both bounds past the table
  EXPECT_EQ(narrow[2047], 100);

  // Tones inside the band pass (at the band's 100/128 and the light
  // distortion), those outside are gone.
  auto level = [](double hz) {
    std::vector<Sample> tone(44100);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<Sample>(100000 * std::sin(2 * kPi * hz * i / 44100));
    SoundBuffer sound = soundFrom(tone, 1, 44100);
    EXPECT_EQ(telephone(sound, 0, 44100), JobResult::Done);
    return 20 * std::log10(rms(samplesOf(sound), 1, 0, 5000, 39000) / (100000 / std::sqrt(2.0)));
  };
  EXPECT_NEAR(level(1000), 20 * std::log10(100.0 / 128), 1.0);
  EXPECT_NEAR(level(3000), 20 * std::log10(100.0 / 128), 1.0);
  EXPECT_LT(level(100), -30);
  EXPECT_LT(level(6000), -30);
}

Sample referenceDistortion(Sample x, int levelDecibels, double degree) {
  const long long T = std::min<long long>(static_cast<long long>(std::pow(10.0, levelDecibels / 20.0) * 131072),
                                          INT32_MAX);
  const long long Q = T >> 2;
  const long long c1 = static_cast<long long>((1 + 0.66 * degree) * 16777216.0);
  const long long c2 = static_cast<long long>((1 - 0.22 * degree) * 16777216.0);
  const long long c3 = static_cast<long long>((1 - degree) * 16777216.0);
  const long long o2 = splitMultiply(Q, c1) - splitMultiply(Q, c2);
  const long long o3 = o2 - splitMultiply(T, c3) + splitMultiply(T, c2);
  if (x >= 0) return saturate(x < Q ? splitMultiply(x, c1) : x < T ? splitMultiply(x, c2) + o2 : splitMultiply(x, c3) + o3);
  return saturate(x > -Q ? splitMultiply(x, c1) : x > -T ? splitMultiply(x, c2) - o2 : splitMultiply(x, c3) - o3);
}

TEST(FilterEffects, DistortionFollowsItsPiecewiseCurve) {
  const std::vector<Sample> input = noise(20000, 600000, 8);
  for (auto [level, thousandths] : {std::pair{-3, 500}, {-8, 1000}, {0, 0}, {6, 300}, {-40, 100}}) {
    SoundBuffer sound = soundFrom(input, 2, 44100);
    ASSERT_EQ(distortion(sound, 0, 10000, {thousandths, level}), JobResult::Done);
    const std::vector<Sample> out = samplesOf(sound);
    for (size_t i = 0; i < input.size(); ++i)
      ASSERT_EQ(out[i], referenceDistortion(input[i], level, thousandths / 1000.0)) << level << " dB, sample " << i;
  }
  // Degree 0 leaves the sound as it was; degree 1 holds everything beyond T at T.
  SoundBuffer clean = soundFrom(input, 1, 44100);
  ASSERT_EQ(distortion(clean, 0, 20000, {0, -3}), JobResult::Done);
  EXPECT_EQ(samplesOf(clean), input);
  const DistortionCurve clip = distortionCurve(-8, 1.0);
  for (Sample x : {static_cast<Sample>(clip.top), static_cast<Sample>(clip.top) + 1000, 524272})
    EXPECT_NEAR(clip.apply(x), clip.top, 2) << x;
  EXPECT_NEAR(clip.apply(-524272), -clip.top, 2);
  // A top line beyond any sample is the largest one, not a wrapped number.
  const DistortionCurve wide = distortionCurve(127, 0.5);
  EXPECT_EQ(wide.top, INT32_MAX);
  for (Sample x : {1000, 524272, -524272, INT32_MAX, INT32_MIN}) EXPECT_EQ(wide.apply(x) > 0, x > 0) << x;
}

TEST(FilterEffects, AmRadioRunsItsTwoOnePolesThenTheLineDistortion) {
  const int rate = 22050;
  const long long kh = static_cast<long long>((1 - std::exp(-2 * kPi * 100 / rate)) * 256);
  const long long kl = static_cast<long long>((1 - std::exp(-2 * kPi * 5000 / rate)) * 256);
  const std::vector<Sample> input = noise(2 * 30000, 400000, 12);
  std::vector<Sample> expected(input.size());
  for (int c = 0; c < 2; ++c) {
    long long sh = 0, sl = 0;
    for (size_t i = c; i < input.size(); i += 2) {
      const long long high = saturate(input[i] - (sh >> 8));
      sh += kh * high;
      sl += kl * (high - (sl >> 8));
      expected[i] = referenceDistortion(saturate(sl >> 8), -8, 0.05);
    }
  }
  SoundBuffer sound = soundFrom(input, 2, rate);
  ASSERT_EQ(amRadio(sound, 0, 30000), JobResult::Done);
  EXPECT_EQ(samplesOf(sound), expected);
}

}  // namespace
