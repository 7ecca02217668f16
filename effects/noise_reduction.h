#pragma once
// Noise reduction: the multi-band noise gate, spectral subtraction with the
// noise measured in the selection itself, and spectral subtraction of a noise
// sample grabbed earlier from a stretch of noise alone. Each works on frames
// start..end-1 of a sound and returns Done, Cancelled or Failed; anything but
// Done leaves the sound as it was.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "effects/effect_job.h"
#include "effects/effect_parameter.h"
#include "effects/short_time_spectrum.h"

// ---- Multi-band noise gate. Four bands (below 400 Hz, 400-1,100 Hz,
// 1,100-2,600 Hz and above), each closed while its level stays below the gate
// level (the lowest band 3 dB above it, the second band at it, the upper two
// 3 dB below), opening over the next 14 dB.
// dB, signed 8-bit; -127 leaves every band open.
inline constexpr EffectParameter kNoiseGateLevelValue{kEffectValuesSection, "NoiseGateLevel", -30, -127, 127,
                                                      kInt8Low, kInt8High};
struct NoiseGateParams {
  int32_t NoiseGateLevel = kNoiseGateLevelValue.defaultValue;
};
// The level of each band, low to high, clamped to -127..127.
struct NoiseGateBandLevels {
  int levels[4];
};
NoiseGateBandLevels noiseGateBandLevels(int32_t gateLevel);
// 2^16 / 10^(level / 20): the factor that brings a band envelope to the gate's
// scale. Wide, and saturated for levels so low their gain is 0.
int64_t noiseGateScale(int level);
// The gain (2^24 = unity) of a band whose envelope is `envelope` (sample
// units): closed up to 131,072 * 10^(level / 20), open from five times that,
// linear between.
int32_t noiseGateGain(int64_t envelope, int64_t scale);
// Frames per control block: rate / 30, within 20..8,192.
int32_t noiseGateBlockFrames(int32_t sampleRate);
JobResult noiseGate(SoundBuffer& sound, int32_t start, int32_t end, const NoiseGateParams& params,
                    ProgressCallback* progress = nullptr);

// ---- Spectral subtraction. Both kinds estimate the noise's power in every
// frequency bin of every channel and take it out of short-time spectra with
// a gain per bin that follows the signal-to-noise ratio smoothly over time and
// frequency, so the rest of the noise stays a quieter hiss instead of turning
// into chirps.

// Noise power per channel and bin, in the layout's spectrum scale.
struct NoiseSpectrum {
  SpectrumLayout layout{256, 64};
  std::vector<std::vector<float>> power;  // [channel][bin]
};

// The proportion of the audio taken to be silence (only noise), in percent,
// signed 8-bit. The noise in each bin is judged from the quietest frames.
inline constexpr EffectParameter kSsNoiseThresholdValue{kEffectValuesSection, "SSNoiseThreshold", 30, 1, 99,
                                                        kInt8Low, kInt8High};
struct AutoSpectralSubtractionParams {
  int32_t SSNoiseThreshold = kSsNoiseThresholdValue.defaultValue;
};
JobResult autoSpectralSubtraction(SoundBuffer& sound, int32_t start, int32_t end,
                                  const AutoSpectralSubtractionParams& params, ProgressCallback* progress = nullptr);

// A grabbed noise sample: the audio of the selection it was taken from and
// its measured spectrum.
struct NoiseSample {
  SoundBuffer audio;
  NoiseSpectrum spectrum;
  int32_t sampleRate() const { return audio.sampleRate(); }
  int channels() const { return audio.channels(); }
};
// Selections of this many whole seconds or more are no noise sample.
constexpr int32_t kNoiseSampleSecondsLimit = 9;
bool noiseSampleTooLong(int32_t frames, int32_t sampleRate);
// Measures frames start..end-1. Failed for a selection that is too long or
// empty; nothing in the sound changes either way.
JobResult grabNoiseSample(const SoundBuffer& sound, int32_t start, int32_t end, NoiseSample& sample,
                          ProgressCallback* progress = nullptr);
// A sample fits a sound of the same rate and channel count.
bool noiseSampleFits(const NoiseSample& sample, const SoundBuffer& sound);
// Failed, with nothing changed, for a sample that does not fit.
JobResult noiseSampleSubtraction(SoundBuffer& sound, int32_t start, int32_t end, const NoiseSample& sample,
                                 ProgressCallback* progress = nullptr);

// The gain rule both kinds share, exposed for measuring: the input with the
// noise taken out, in step with it.
SampleSourceRef noiseSuppressedSource(SampleSourceRef input, const NoiseSpectrum& noise);
// The noise spectrum estimated from a whole source, with `silencePercent` of
// it taken to be noise alone.
JobResult estimateNoiseFromQuietest(SampleSource& input, int32_t silencePercent, NoiseSpectrum& noise,
                                    ProgressCallback* progress = nullptr);
// The mean spectrum of a source that is all noise.
JobResult measureNoiseSpectrum(SampleSource& input, NoiseSpectrum& noise, ProgressCallback* progress = nullptr);

// Display names: undo step and progress title.
constexpr const char* kNoiseGateName = "Noise Reduction (Multi-band Noise Gating)";
constexpr const char* kAutoSpectralSubtractionName = "Noise Reduction (Auto Spectral Subtraction)";
constexpr const char* kNoiseSampleSubtractionName = "Noise Reduction (Spectral Subtraction Based on Noise Sample)";
constexpr const char* kGrabNoiseSampleProgress = "Get Noise Sample";
