#pragma once
// The delay, filter and modulation effects: echo, reverb, high-pass filter,
// equalizer, phaser, flanger, chorus, distortion, AM radio, telephone and
// vocal reduction. Each is a source filter run by runEffectJob over frames
// start..end-1 of a sound, keeping its state per channel across chunks; a
// delay tail that would run past the selection end is cut there. All return
// Done, Cancelled or Failed; anything but Done leaves the sound as it was.
//
// The integer kernels hold their intermediate products in 64 bits and
// saturate what they store, so gains far beyond unity and samples far beyond
// full scale give the loudest sample rather than a wrapped one.

#include <array>
#include <cstdint>
#include <vector>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "effects/amplitude_effects.h"
#include "effects/effect_parameter.h"

constexpr const char* kPhaserSection = "Phaser";
constexpr const char* kFlangerSection = "Flanger";
constexpr const char* kChorusSection = "Chorus";
constexpr const char* kDistortionSection = "Distortion";

// Decimal values kept as text ("0.5") are held in thousandths.
constexpr int32_t kThousandths = 1000;

// ---- Echo: a feedback delay on the interleaved stream.
inline constexpr EffectParameter kEchoTimeValue{kEffectValuesSection, "EchoTime", 800, 10, 3000, kInt32Low,
                                                kInt32High};
inline constexpr EffectParameter kEchoGainValue{kEffectValuesSection, "EchoGain", 50, 0, 99, kInt16Low, kInt16High};
struct EchoParams {
  int32_t EchoTime = kEchoTimeValue.defaultValue;  // ms; below 1 passes the audio through
  int32_t EchoGain = kEchoGainValue.defaultValue;  // percent, capped at 99
};
// The delay in samples (frames times channels), at least 20.
int32_t echoDelaySamples(int32_t echoTime, int32_t sampleRate, int channels);
JobResult echo(SoundBuffer& sound, int32_t start, int32_t end, const EchoParams& params,
               ProgressCallback* progress = nullptr);

// ---- Reverb: one ring buffer read at four fixed fractions of its length
// and at the write index.
inline constexpr EffectParameter kReverbLevelValue{kEffectValuesSection, "ReverbLevel", 100, 0, 100, kInt16Low,
                                                   kInt16High};
inline constexpr EffectParameter kReverbTimeValue{kEffectValuesSection, "ReverbTime", 50, 50, 1000, kInt32Low,
                                                  kInt32High};
struct ReverbParams {
  int32_t ReverbLevel = kReverbLevelValue.defaultValue;  // 0..100
  int32_t ReverbTime = kReverbTimeValue.defaultValue;    // ms
};
JobResult reverb(SoundBuffer& sound, int32_t start, int32_t end, const ReverbParams& params,
                 ProgressCallback* progress = nullptr);

// ---- High-pass filter: a second-order biquad per channel, Q = 0.707.
inline constexpr EffectParameter kLowCutFreqValue{kEffectValuesSection, "LowCutFreq", 250, 1, 100000, kInt32Low,
                                                  kInt32High};
struct HighPassParams {
  int32_t LowCutFreq = kLowCutFreqValue.defaultValue;  // Hz; 10 when not positive
};
// The filter itself is HighPassBiquad (effects/high_pass_biquad.h).
JobResult highPass(SoundBuffer& sound, int32_t start, int32_t end, const HighPassParams& params,
                   ProgressCallback* progress = nullptr);

// ---- Equalizer: a 4,095-tap symmetric FIR designed from a gain table of
// 2,048 bins over 0..rate/2 (128 = unity), run by FFT convolution.
constexpr int kEqualizerBins = 2048;
constexpr int kEqualizerHalfTaps = 2047;  // taps on each side of the centre
using EqualizerTable = std::array<uint8_t, kEqualizerBins>;
// The centre tap of a flat table: the filter's unity.
constexpr int32_t kEqualizerUnityTap = 32768;
// Frequency of a curve position 0..255 (0 Hz .. 20,000 Hz on a log-like
// axis) and the position of a frequency (not rounded).
double equalizerFrequency(int position);
double equalizerPosition(double frequency);
// The gain table of a curve at a sample rate. Bins are clamped to 2,047; a
// stretch whose ends fall in one bin gives it the later level.
EqualizerTable equalizerTable(const EnvelopeCurve& curve, int32_t sampleRate);
// Taps h[0..2047] of the symmetric filter (h[-t] = h[t]); a flat table of
// 128 gives kEqualizerUnityTap at 0 and nothing else.
std::vector<int32_t> equalizerTaps(const EqualizerTable& table);
// Runs the table's filter over the selection; every output sample is
// round(sum of h[t] x[n+t] / 32768), computed by FFT convolution.
JobResult equalize(SoundBuffer& sound, int32_t start, int32_t end, const EqualizerTable& table,
                   ProgressCallback* progress = nullptr);
JobResult equalizer(SoundBuffer& sound, int32_t start, int32_t end, const EnvelopeCurve& curve,
                    ProgressCallback* progress = nullptr);
// "equalizer.dat" in the per-user data folder, read and defaulted like
// "envelope.dat".
std::string equalizerFilePath(const std::string& dataFolder);
EnvelopeCurve loadEqualizerFile(const std::string& dataFolder);
bool saveEqualizerFile(const std::string& dataFolder, const EnvelopeCurve& curve);
inline constexpr EffectParameter kEqPresetValue{kEffectValuesSection, "EQPreset", 0, 0, 6, kInt32Low, kInt32High};

// ---- Phaser, Flanger, Chorus: one feed-forward modulated delay.
struct ModulatedDelayParams {
  int32_t time = 0;        // ms, clamped to 0..1000
  int32_t modulation = 0;  // thousandths of a Hz
  int32_t depth = 0;       // percent, clamped to 0..100
  int32_t gain = 0;        // percent
};
JobResult modulatedDelay(SoundBuffer& sound, int32_t start, int32_t end, const ModulatedDelayParams& params,
                         const char* name, ProgressCallback* progress = nullptr);

inline constexpr EffectParameter kPhaserTimeValue{kPhaserSection, "Time", 5, 0, 10, kInt32Low, kInt32High};
inline constexpr EffectParameter kPhaserGainValue{kPhaserSection, "Gain", 100, 0, 100, kInt32Low, kInt32High};
struct PhaserParams {
  int32_t Time = kPhaserTimeValue.defaultValue;
  int32_t Gain = kPhaserGainValue.defaultValue;
};
// A fixed delay: depth and modulation 0.
JobResult phaser(SoundBuffer& sound, int32_t start, int32_t end, const PhaserParams& params,
                 ProgressCallback* progress = nullptr);

inline constexpr EffectParameter kFlangerTimeValue{kFlangerSection, "Time", 5, 0, 10, kInt32Low, kInt32High};
inline constexpr EffectParameter kFlangerModValue{kFlangerSection, "Mod", 500, 0, 5000, kInt32Low, kInt32High,
                                                  kThousandths};
inline constexpr EffectParameter kFlangerDepthValue{kFlangerSection, "Depth", 50, 0, 100, kInt32Low, kInt32High};
inline constexpr EffectParameter kFlangerGainValue{kFlangerSection, "Gain", 75, 0, 100, kInt32Low, kInt32High};

inline constexpr EffectParameter kChorusTimeValue{kChorusSection, "Time", 40, 10, 100, kInt32Low, kInt32High};
inline constexpr EffectParameter kChorusModValue{kChorusSection, "Mod", 500, 0, 2000, kInt32Low, kInt32High,
                                                 kThousandths};
inline constexpr EffectParameter kChorusDepthValue{kChorusSection, "Depth", 5, 0, 30, kInt32Low, kInt32High};
inline constexpr EffectParameter kChorusGainValue{kChorusSection, "Gain", 70, 0, 100, kInt32Low, kInt32High};

// ---- Distortion: an odd-symmetric piecewise-linear curve through +-T.
inline constexpr EffectParameter kDistortionDegreeValue{kDistortionSection, "Degree", 500, 0, 1000, kInt32Low,
                                                        kInt32High, kThousandths};
inline constexpr EffectParameter kDistortionLevelValue{kDistortionSection, "Level", -3, -127, 127, kInt32Low,
                                                       kInt32High};
struct DistortionParams {
  int32_t Degree = kDistortionDegreeValue.defaultValue;  // thousandths, 0..1000
  int32_t Level = kDistortionLevelValue.defaultValue;    // dB of the top line, 0 dB = a quarter of full scale
};
struct DistortionCurve {
  int64_t top, knee;      // T and Q = T / 4
  int32_t c1, c2, c3;     // slopes, 2^24 = 1
  int64_t o2, o3;         // offsets of the middle and top pieces
  Sample apply(Sample x) const;
};
DistortionCurve distortionCurve(int32_t levelDecibels, double degree);
JobResult distortion(SoundBuffer& sound, int32_t start, int32_t end, const DistortionParams& params,
                     ProgressCallback* progress = nullptr);

// ---- AM Radio: one-pole high-pass at 100 Hz, one-pole low-pass at 5 kHz,
// then distortion at -8 dB and degree 0.05.
JobResult amRadio(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// ---- Telephone: the equalizer with 300..3,600 Hz at 100 (the rest 0), then
// distortion at -8 dB and degree 0.05.
EqualizerTable telephoneTable(int32_t sampleRate);
JobResult telephone(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// ---- Reduce Vocals: left minus right into both channels of a stereo
// sound (Failed, nothing changed, for any other channel count).
JobResult reduceVocals(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// Display names: undo step and progress title.
constexpr const char* kEchoName = "Echo";
constexpr const char* kReverbName = "Reverb";
constexpr const char* kHighPassName = "High-Pass Filter";
constexpr const char* kHighPassJobName = "Low Frequency Cut";
constexpr const char* kEqualizerName = "Equalizer";
constexpr const char* kPhaserName = "Phaser";
constexpr const char* kFlangerName = "Flanger";
constexpr const char* kChorusName = "Chorus";
constexpr const char* kDistortionName = "Distortion";
constexpr const char* kAmRadioName = "AM Radio Effect";
constexpr const char* kTelephoneName = "Telephone Effect";
constexpr const char* kReduceVocalsName = "Reduce Vocals";
