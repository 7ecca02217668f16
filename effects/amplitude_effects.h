#pragma once
// The level and envelope effects. Each works on frames start..end-1 of a
// sound (the selection, clamped to the sound) and returns Done, Cancelled or
// Failed; anything but Done leaves the sound as it was. Parameters are plain
// structs named after their stored values, read with their defaults from and
// written back to the settings store.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "effects/effect_job.h"
#include "effects/effect_parameter.h"
#include "sys/settings_store.h"

// ---- Amplify: span gains only, no sample is rewritten.
// Percent, signed 16-bit; a negative gain inverts the polarity.
inline constexpr EffectParameter kAmplifyGainValue{kEffectValuesSection, "AmplifyGain", 100, -400, 400,
                                                   kInt16Low, kInt16High};
struct AmplifyParams {
  int32_t AmplifyGain = kAmplifyGainValue.defaultValue;
};
AmplifyParams readAmplifyParams(const sys::SettingsStore& store);
void writeAmplifyParams(sys::SettingsStore& store, const AmplifyParams& params);
void amplify(SoundBuffer& sound, int32_t start, int32_t end, const AmplifyParams& params);

// ---- Normalize: a peak scan, then Amplify by the percent that brings the
// peak to the level (at most 400 %).
// Percent of full scale.
inline constexpr EffectParameter kNormalizePeakLevelValue{kEffectValuesSection, "NormalizePeakLevel", 100, 0, 100,
                                                          kInt16Low, kInt16High};
struct NormalizeParams {
  int32_t NormalizePeakLevel = kNormalizePeakLevelValue.defaultValue;
};
NormalizeParams readNormalizeParams(const sys::SettingsStore& store);
void writeNormalizeParams(sys::SettingsStore& store, const NormalizeParams& params);
// The largest of (largest sample, minus the smallest) over all channels.
JobResult scanPeak(const SoundBuffer& sound, int32_t start, int32_t end, int64_t& peak,
                   ProgressCallback* progress = nullptr);
// The Amplify percent for a peak; 100 when the peak is 0 or less.
int32_t normalizePercent(int64_t peak, int32_t level);
JobResult normalize(SoundBuffer& sound, int32_t start, int32_t end, const NormalizeParams& params,
                    ProgressCallback* progress = nullptr);

// ---- Envelope, Fade In, Fade Out, Fade Out and Trim.
struct EnvelopePoint {
  uint8_t position;  // 0..255 across the selection, 255 = its last frame
  uint8_t level;     // 128 = unity, 0 = silence, 255 = 255/128
};
struct EnvelopeCurve {
  std::vector<EnvelopePoint> points;  // at most 64, positions never decreasing
};
constexpr size_t kMaxEnvelopePoints = 64;
EnvelopeCurve flatEnvelope();
EnvelopeCurve fadeInEnvelope();
EnvelopeCurve fadeOutEnvelope();
// "envelope.dat" in the per-user data folder: a count byte, then the pairs.
// A missing file or a count of 0 gives the flat curve, which is saved at once.
std::string envelopeFilePath(const std::string& dataFolder);
EnvelopeCurve loadEnvelopeFile(const std::string& dataFolder);
bool saveEnvelopeFile(const std::string& dataFolder, const EnvelopeCurve& curve);
// A curve file at any path, read and defaulted the same way.
EnvelopeCurve loadCurveFile(const std::string& path);
bool saveCurveFile(const std::string& path, const EnvelopeCurve& curve);
// The curve as bytes and back (count above 63 read as 64, decreasing
// positions raised, pairs missing at the end dropped).
std::vector<uint8_t> envelopeBytes(const EnvelopeCurve& curve);
EnvelopeCurve envelopeFromBytes(const std::vector<uint8_t>& bytes);
// Frame of a point position in a selection of `length` frames: 0 is the first
// frame, 255 the last.
int32_t envelopePointFrame(int32_t length, int position);
// Fewer than two points: nothing happens.
JobResult applyEnvelope(SoundBuffer& sound, int32_t start, int32_t end, const EnvelopeCurve& curve,
                        ProgressCallback* progress = nullptr);
JobResult fadeIn(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);
JobResult fadeOut(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);
// Fade Out over the selection, then everything after it removed.
JobResult fadeOutAndTrim(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// ---- Cross Fade: removes the selection, fading the audio after its start
// out and the audio before its end in, so that the end lands `gap` frames
// after the start.
// Milliseconds, at most a minute; the dialog raises a negative time to 0.
inline constexpr EffectParameter kGapTimeValue{kCrossFadeSection, "GapTimeMS", 300, 0, 60000, kInt32Low, kInt32High};
inline constexpr EffectParameter kFadeInTimeValue{kCrossFadeSection, "FadeInTimeMS", 300, 0, 60000, kInt32Low,
                                                  kInt32High};
inline constexpr EffectParameter kFadeOutTimeValue{kCrossFadeSection, "FadeOutTimeMS", 300, 0, 60000, kInt32Low,
                                                   kInt32High};
struct CrossFadeParams {
  int32_t GapTimeMS = kGapTimeValue.defaultValue;
  int32_t FadeInTimeMS = kFadeInTimeValue.defaultValue;
  int32_t FadeOutTimeMS = kFadeOutTimeValue.defaultValue;
};
CrossFadeParams readCrossFadeParams(const sys::SettingsStore& store);
void writeCrossFadeParams(sys::SettingsStore& store, const CrossFadeParams& params);
// Frame counts of a cross fade, for the effect and the dialog's graph.
struct CrossFadeLayout {
  int64_t gap, fadeIn, fadeOut;
  int64_t lead;           // max(0, fadeIn - gap)
  int64_t joinStart;      // S - lead: first frame replaced (may be before 0)
  int64_t secondStart;    // E - (lead + gap): where the second stream reads from
  int64_t outputFrames;   // max(lead + gap, lead + fadeOut)
  int64_t replacedEnd;    // where the second stream stopped: the rest follows
};
CrossFadeLayout crossFadeLayout(int32_t start, int32_t end, int32_t sampleRate, const CrossFadeParams& params);
JobResult crossFade(SoundBuffer& sound, int32_t start, int32_t end, const CrossFadeParams& params,
                    ProgressCallback* progress = nullptr);

// ---- Stereo Pan: needs a stereo sound (Failed, nothing changed, otherwise;
// the editor asks for a conversion first).
// 0 = left .. 100 = right. Kept within that range when read: the pan law
// takes square roots of both sides.
inline constexpr EffectParameter kStereoPanValue{kEffectValuesSection, "StereoPan", 50, 0, 100, 0, 100};
struct StereoPanParams {
  int32_t StereoPan = kStereoPanValue.defaultValue;
};
StereoPanParams readStereoPanParams(const sys::SettingsStore& store);
void writeStereoPanParams(sys::SettingsStore& store, const StereoPanParams& params);
// Output channel r is the sum over input channels c of input c times
// decibelGain(rows[r][c]); missing entries are silence.
struct ChannelMatrix {
  std::vector<std::vector<int8_t>> rows;
};
ChannelMatrix stereoPanMatrix(int32_t stereoPan);
JobResult applyChannelMatrix(SoundBuffer& sound, int32_t start, int32_t end, const ChannelMatrix& matrix,
                             const std::string& name, ProgressCallback* progress = nullptr);
JobResult stereoPan(SoundBuffer& sound, int32_t start, int32_t end, const StereoPanParams& params,
                    ProgressCallback* progress = nullptr);

// ---- DC Offset Correction: subtracts each channel's mean.
JobResult dcOffsetCorrection(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// ---- Reverse.
JobResult reverse(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// ---- Auto Trim: cuts the quiet head and tail of the whole sound, judged
// from the blocks' overview records.
// dB below the loudest overview peak; the effect clamps it to -127..127.
inline constexpr EffectParameter kAutoTrimThresholdValue{kEffectSettingsSection, "AutoTrimThreshold", -20, -127, 127,
                                                         kInt32Low, kInt32High};
struct AutoTrimParams {
  int32_t AutoTrimThreshold = kAutoTrimThresholdValue.defaultValue;
};
AutoTrimParams readAutoTrimParams(const sys::SettingsStore& store);
void writeAutoTrimParams(sys::SettingsStore& store, const AutoTrimParams& params);
struct AutoTrimResult {
  JobResult result = JobResult::Done;
  int32_t start = 0;  // first frame kept, in the old numbering
  int32_t end = 0;    // frame after the last one kept
};
AutoTrimResult autoTrim(SoundBuffer& sound, const AutoTrimParams& params, ProgressCallback* progress = nullptr);

// ---- Automatic Gain Control: no dialog, no stored value.
JobResult automaticGainControl(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// ---- Dynamic Range Compressor. Decibels are of the window level, signed
// 8-bit, -127 standing for silence; the ratio is an index into the ratio
// list (the effect does nothing for others); a limit of 127 means none.
constexpr int kCompressorRatioCount = 7;
inline constexpr EffectParameter kCompressorThresholdValue{kEffectValuesSection, "CompressorThreshold", 0, -127, 127,
                                                           kInt8Low, kInt8High};
inline constexpr EffectParameter kCompressorRatioValue{kEffectValuesSection, "CompressorRatio", 0, 0,
                                                       kCompressorRatioCount - 1, kInt8Low, kInt8High};
inline constexpr EffectParameter kCompressorLimitValue{kEffectValuesSection, "CompressorLimit", 0, -127, 127,
                                                       kInt8Low, kInt8High};
struct CompressorParams {
  int32_t CompressorThreshold = kCompressorThresholdValue.defaultValue;
  int32_t CompressorRatio = kCompressorRatioValue.defaultValue;
  int32_t CompressorLimit = kCompressorLimitValue.defaultValue;
};
struct CompressorRatioEntry {
  const char* name;
  double factorPerDecibel;
};
extern const CompressorRatioEntry kCompressorRatios[kCompressorRatioCount];
CompressorParams readCompressorParams(const sys::SettingsStore& store);
void writeCompressorParams(sys::SettingsStore& store, const CompressorParams& params);
// Gains (2^24 = unity) by window level: index = level in dB + 128.
using CompressorCurve = std::array<int32_t, 256>;
CompressorCurve compressorCurve(const CompressorParams& params);
// Window length in frames: 45 ms, kept within 128..8,192.
int32_t compressorWindowFrames(int32_t sampleRate);
// Window level in dB of the mean of (sample >> 5)^2 over its samples.
int compressorWindowLevel(double meanSquare);
JobResult compressor(SoundBuffer& sound, int32_t start, int32_t end, const CompressorParams& params,
                     ProgressCallback* progress = nullptr);

// Display names: undo step and progress title.
constexpr const char* kAmplifyName = "Amplify";
constexpr const char* kNormalizeName = "Normalize";
constexpr const char* kEnvelopeName = "Envelope";
constexpr const char* kFadeInName = "Fade In";
constexpr const char* kFadeOutName = "Fade Out";
constexpr const char* kFadeOutAndTrimName = "Fade Out and Trim";
constexpr const char* kCrossFadeName = "Cross Fade";
constexpr const char* kStereoPanName = "Stereo Pan";
constexpr const char* kDcOffsetName = "DC Offset Correction";
constexpr const char* kReverseName = "Reverse";
constexpr const char* kAutoTrimName = "Auto Trim";
constexpr const char* kAutomaticGainControlName = "Automatic Gain Control";
constexpr const char* kCompressorName = "Dynamic Range Compressor";
