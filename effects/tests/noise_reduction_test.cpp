#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "effects/noise_reduction.h"
#include "effects/tests/effect_test_support.h"

using namespace effecttest;

namespace {

constexpr int32_t kRate = 44100;

std::vector<Sample> tone(int32_t frames, double hz, double amplitude, int channels = 1) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (int32_t n = 0; n < frames; ++n)
    for (int c = 0; c < channels; ++c)
      samples[static_cast<size_t>(n) * channels + c] =
          static_cast<Sample>(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * n / kRate + c)));
  return samples;
}

std::vector<Sample> whiteNoise(size_t count, double deviation, unsigned seed = 3) {
  std::mt19937 random(seed);
  std::normal_distribution<double> gauss(0.0, deviation);
  std::vector<Sample> samples(count);
  for (Sample& s : samples) s = static_cast<Sample>(std::lround(gauss(random)));
  return samples;
}

std::vector<Sample> plus(std::vector<Sample> a, const std::vector<Sample>& b) {
  for (size_t i = 0; i < a.size(); ++i) a[i] += b[i];
  return a;
}

double snrDb(const std::vector<Sample>& clean, const std::vector<Sample>& output, size_t from, size_t to) {
  double signal = 0, error = 0;
  for (size_t i = from; i < to; ++i) {
    signal += static_cast<double>(clean[i]) * clean[i];
    error += (static_cast<double>(output[i]) - clean[i]) * (static_cast<double>(output[i]) - clean[i]);
  }
  return 10 * std::log10(signal / std::max(error, 1.0));
}

double rmsOf(const std::vector<Sample>& samples, size_t from, size_t to) {
  return rms(samples, 1, -1, from, to);
}

TEST(NoiseGateGain, ClosesBelowTheLevelAndOpensLinearlyOverFiveTimesIt) {
  for (int level : {-60, -30, -20, 0, 6}) {
    SCOPED_TRACE(level);
    const int64_t scale = noiseGateScale(level);
    const double exact = 65536 / std::pow(10.0, level / 20.0);
    EXPECT_NEAR(static_cast<double>(scale), exact, exact * 1e-4 + 1);  // the table rounds
    const double closedAt = 131072 * std::pow(10.0, level / 20.0);
    EXPECT_EQ(noiseGateGain(std::llround(closedAt * 0.98), scale), 0);
    EXPECT_EQ(noiseGateGain(std::llround(closedAt * 5.02), scale), kUnityGain);
    // Three times the closing point is half way: 1,536 - 512 = 1,024 of 2,048.
    EXPECT_NEAR(noiseGateGain(std::llround(closedAt * 3), scale), kUnityGain / 2, kUnityGain / 100);
  }
  EXPECT_EQ(noiseGateGain(0, noiseGateScale(-30)), 0);
}

TEST(NoiseGateGain, ExtremeLevelsSaturateInsteadOfWrapping) {
  // Silence as the level: the band never closes, however quiet.
  EXPECT_EQ(noiseGateGain(1, noiseGateScale(-127)), kUnityGain);
  EXPECT_EQ(noiseGateGain(INT32_MAX, noiseGateScale(-127)), kUnityGain);
  // The quietest real levels give scales far beyond 32 bits.
  EXPECT_GT(noiseGateScale(-126), int64_t{INT32_MAX});
  for (int level : {-126, -120, -100}) {
    // Past five times the closing point everything is open, up to envelopes
    // whose products need far more than 64 bits.
    const auto open = static_cast<int64_t>(std::ceil(5.1 * 131072 * std::pow(10.0, level / 20.0)));
    for (int64_t envelope : {open, int64_t{INT32_MAX}, int64_t{1} << 40, INT64_MAX})
      EXPECT_EQ(noiseGateGain(envelope, noiseGateScale(level)), kUnityGain) << level << " " << envelope;
  }
  EXPECT_EQ(noiseGateGain(1, noiseGateScale(-100)), 0);  // 1 is below 1.31
  // The loudest level: only the loudest envelopes open it, none wraps.
  EXPECT_EQ(noiseGateGain(kSampleFullScale, noiseGateScale(127)), 0);
  EXPECT_EQ(noiseGateGain(INT64_MAX, noiseGateScale(127)), kUnityGain);

  const NoiseGateBandLevels low = noiseGateBandLevels(-126), high = noiseGateBandLevels(126);
  EXPECT_EQ((std::vector<int>(low.levels, low.levels + 4)), (std::vector<int>{-123, -126, -127, -127}));
  EXPECT_EQ((std::vector<int>(high.levels, high.levels + 4)), (std::vector<int>{127, 126, 123, 123}));
  EXPECT_EQ(noiseGateBlockFrames(44100), 1470);
  EXPECT_EQ(noiseGateBlockFrames(300), 20);
  EXPECT_EQ(noiseGateBlockFrames(384000), 8192);
}

TEST(NoiseGate, LetsLoudSoundThroughUnchangedAndRemovesQuietNoise) {
  const int32_t frames = kRate * 2;
  // Loud sound in every band: all four open and add up to the input.
  std::vector<Sample> loud = plus(tone(frames, 200, 150000, 2), tone(frames, 3000, 150000, 2));
  loud = plus(loud, plus(tone(frames, 700, 150000, 2), tone(frames, 1500, 150000, 2)));
  SoundBuffer sound = soundFrom(loud, 2);
  ASSERT_EQ(noiseGate(sound, 0, frames, {-30}), JobResult::Done);
  const std::vector<Sample> out = samplesOf(sound);
  for (size_t i = 0; i < loud.size(); ++i) ASSERT_NEAR(out[i], loud[i], 1) << i;

  // Quiet hiss (about -60 dB) is shut out past the first block.
  const std::vector<Sample> hiss = whiteNoise(frames, 500);
  SoundBuffer quiet = soundFrom(hiss);
  ASSERT_EQ(noiseGate(quiet, 0, frames, {-30}), JobResult::Done);
  EXPECT_LT(rmsOf(samplesOf(quiet), 3000, frames), rmsOf(hiss, 3000, frames) / 100);

  // A gate level of silence keeps every band open.
  SoundBuffer open = soundFrom(hiss);
  ASSERT_EQ(noiseGate(open, 0, frames, {-127}), JobResult::Done);
  const std::vector<Sample> kept = samplesOf(open);
  for (size_t i = 0; i < hiss.size(); ++i) ASSERT_NEAR(kept[i], hiss[i], 1) << i;
}

// A modifier that changes nothing: the filter source must give its input back.
class Unchanged final : public SpectrumModifier {
 public:
  void modify(int, float*, float*) override {}
};

TEST(SpectralFilterSource, GivesItsInputBackInStepForAnyLengthAndChunking) {
  for (int32_t frames : {1, 100, 2047, 2048, 5000, 30001}) {
    SCOPED_TRACE(frames);
    const std::vector<Sample> input = plus(whiteNoise(static_cast<size_t>(frames) * 2, 30000), tone(frames, 440, 200000, 2));
    SoundBuffer sound = soundFrom(input, 2);
    auto source = makeRef<SpectralFilterSource>(sound.openReader(), SpectrumLayout::forRate(kRate), std::make_unique<Unchanged>());
    std::vector<Sample> out(input.size());
    // Odd chunk sizes, so that reads end inside a hop.
    for (int32_t done = 0; done < frames;) {
      const int32_t chunk = std::min(frames - done, 777);
      source->read(out.data() + static_cast<size_t>(done) * 2, chunk);
      done += chunk;
    }
    for (size_t i = 0; i < input.size(); ++i) ASSERT_NEAR(out[i], input[i], 2) << i;
  }
  EXPECT_EQ(SpectrumLayout::forRate(44100).fftSize, 2048);
  EXPECT_EQ(SpectrumLayout::forRate(8000).fftSize, 256);
  EXPECT_EQ(SpectrumLayout::forRate(96000).fftSize, 4096);
}

// A tone in steady hiss, with a stretch of hiss alone before it.
struct NoisyTone {
  std::vector<Sample> clean, noisy;
  int32_t hissOnly;
};

NoisyTone noisyTone(int channels) {
  // Half of it hiss alone, more than the share the automatic kind takes to be noise.
  const int32_t frames = kRate * 4, hissOnly = kRate * 2;
  NoisyTone t{tone(frames, 440, 100000, channels), {}, hissOnly};
  std::fill(t.clean.begin(), t.clean.begin() + static_cast<size_t>(hissOnly) * channels, 0);
  t.noisy = plus(t.clean, whiteNoise(t.clean.size(), 20000));
  return t;
}

TEST(SpectralSubtraction, BothKindsTakeSteadyHissOutAndKeepTheTone) {
  const NoisyTone t = noisyTone(2);
  const size_t frames = t.clean.size() / 2;
  const size_t toneFrom = static_cast<size_t>(t.hissOnly) * 2, end = t.clean.size();
  const double before = snrDb(t.clean, t.noisy, toneFrom, end);

  SoundBuffer automatic = soundFrom(t.noisy, 2);
  ASSERT_EQ(autoSpectralSubtraction(automatic, 0, static_cast<int32_t>(frames), {30}), JobResult::Done);
  const std::vector<Sample> autoOut = samplesOf(automatic);

  SoundBuffer fromSample = soundFrom(t.noisy, 2);
  NoiseSample sample;
  ASSERT_EQ(grabNoiseSample(fromSample, 0, t.hissOnly, sample), JobResult::Done);
  EXPECT_EQ(samplesOf(fromSample), t.noisy);  // grabbing changes nothing
  ASSERT_EQ(noiseSampleSubtraction(fromSample, 0, static_cast<int32_t>(frames), sample), JobResult::Done);
  const std::vector<Sample> sampleOut = samplesOf(fromSample);

  for (const std::vector<Sample>* out : {&autoOut, &sampleOut}) {
    EXPECT_EQ(out->size(), t.noisy.size());
    EXPECT_GT(snrDb(t.clean, *out, toneFrom, end), before + 10);
    // The hiss alone drops by more than 20 dB.
    EXPECT_LT(rmsOf(*out, 4096, toneFrom - 4096), rmsOf(t.noisy, 4096, toneFrom - 4096) / 10);
  }
}

TEST(SpectralSubtraction, SilenceProportionSetsHowMuchCountsAsNoise) {
  const NoisyTone t = noisyTone(1);
  NoiseSpectrum little, much;
  SoundBuffer sound = soundFrom(t.noisy);
  SampleSourceRef reader = sound.openReader();
  ASSERT_EQ(estimateNoiseFromQuietest(*reader, 10, little), JobResult::Done);
  reader->seek(0);
  ASSERT_EQ(estimateNoiseFromQuietest(*reader, 20, much), JobResult::Done);
  // Away from the tone both estimate the same hiss: the spread correction
  // brings any share back to the mean.
  double sumLittle = 0, sumMuch = 0;
  for (size_t k = 200; k < 1000; ++k) sumLittle += little.power[0][k], sumMuch += much.power[0][k];
  EXPECT_NEAR(sumLittle / sumMuch, 1.0, 0.2);
  // The hiss's mean power per bin: variance times the window's energy.
  double windowEnergy = 0;
  for (float w : periodicHannWindow(2048)) windowEnergy += double{w} * w;
  EXPECT_NEAR(sumMuch / 800 / (20000.0 * 20000.0 * windowEnergy), 1.0, 0.25);
}

TEST(NoiseSample, LengthLimitAndFormatAreChecked) {
  // Whole seconds of the selection must stay below 9.
  EXPECT_FALSE(noiseSampleTooLong(kRate * 17 / 2, kRate));
  EXPECT_FALSE(noiseSampleTooLong(kRate * 9 - 1, kRate));
  EXPECT_TRUE(noiseSampleTooLong(kRate * 9, kRate));
  EXPECT_TRUE(noiseSampleTooLong(100, 0));

  const std::vector<Sample> hiss = whiteNoise(kRate, 1000);
  SoundBuffer mono = soundFrom(hiss);
  NoiseSample sample;
  ASSERT_EQ(grabNoiseSample(mono, 0, kRate / 2, sample), JobResult::Done);
  EXPECT_EQ(sample.audio.totalFrames(), kRate / 2);
  EXPECT_TRUE(noiseSampleFits(sample, mono));

  // A stereo sound or one at another rate is left alone.
  SoundBuffer stereo = soundFrom(whiteNoise(static_cast<size_t>(kRate) * 2, 1000), 2);
  SoundBuffer otherRate = soundFrom(hiss, 1, 22050);
  for (SoundBuffer* sound : {&stereo, &otherRate}) {
    const std::vector<Sample> before = samplesOf(*sound);
    EXPECT_FALSE(noiseSampleFits(sample, *sound));
    EXPECT_EQ(noiseSampleSubtraction(*sound, 0, sound->totalFrames(), sample), JobResult::Failed);
    EXPECT_EQ(samplesOf(*sound), before);
  }
  // Too long, or nothing selected: nothing is kept.
  SoundBuffer tenSeconds = soundFrom(std::vector<Sample>(static_cast<size_t>(kRate) * 10, 5));
  NoiseSample kept = sample;
  EXPECT_EQ(grabNoiseSample(tenSeconds, 0, kRate * 10, kept), JobResult::Failed);
  EXPECT_EQ(grabNoiseSample(mono, 10, 10, kept), JobResult::Failed);
  EXPECT_EQ(kept.audio.totalFrames(), kRate / 2);
  // A piece shorter than one spectrum frame still gives a spectrum.
  ASSERT_EQ(grabNoiseSample(mono, 0, 300, kept), JobResult::Done);
  EXPECT_GT(kept.spectrum.power[0][500], 0.0f);
}

TEST(NoiseReduction, CancelLeavesTheSoundAsItWas) {
  const NoisyTone t = noisyTone(1);
  const auto frames = static_cast<int32_t>(t.noisy.size());
  for (int allowed : {0, 3, 30}) {
    SCOPED_TRACE(allowed);
    SoundBuffer sound = soundFrom(t.noisy);
    const SoundBuffer shared = sound;
    CancelAfter cancel1(allowed), cancel2(allowed);
    EXPECT_EQ(autoSpectralSubtraction(sound, 0, frames, {30}, &cancel1), JobResult::Cancelled);
    EXPECT_EQ(noiseGate(sound, 0, frames, {-30}, &cancel2), JobResult::Cancelled);
    EXPECT_EQ(samplesOf(sound), t.noisy);
    EXPECT_EQ(samplesOf(shared), t.noisy);
  }
}

TEST(NoiseReduction, SpeechInHissComesOutCleaner) {
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder scratch;
  const std::vector<Sample> speechSamples =
      samplesOf(speech(scratch, "Noise reduction keeps the voice and takes away the hiss.", "voice.wav"));
  const size_t lead = 22050;
  std::vector<Sample> clean(lead, 0);
  clean.insert(clean.end(), speechSamples.begin(), speechSamples.end());
  const double speechRms = rmsOf(clean, lead, clean.size());
  const std::vector<Sample> noisy = plus(clean, whiteNoise(clean.size(), speechRms / std::sqrt(10.0)));  // 10 dB
  const double before = snrDb(clean, noisy, lead, clean.size());
  ASSERT_NEAR(before, 10, 0.5);
  const auto frames = static_cast<int32_t>(clean.size());

  SoundBuffer automatic = soundFrom(noisy, 1, 22050);
  ASSERT_EQ(autoSpectralSubtraction(automatic, 0, frames, {30}), JobResult::Done);
  EXPECT_GT(snrDb(clean, samplesOf(automatic), lead, clean.size()), before + 2);

  SoundBuffer fromSample = soundFrom(noisy, 1, 22050);
  NoiseSample sample;
  ASSERT_EQ(grabNoiseSample(fromSample, 0, static_cast<int32_t>(lead), sample), JobResult::Done);
  ASSERT_EQ(noiseSampleSubtraction(fromSample, 0, frames, sample), JobResult::Done);
  EXPECT_GT(snrDb(clean, samplesOf(fromSample), lead, clean.size()), before + 3);
}

}  // namespace
