#pragma once
// Speed and pitch effects on a selection, and the two format conversions of a
// whole sound. Each returns Done, Cancelled or Failed; anything but Done
// leaves the sound exactly as it was.
//
// Speed and Pitch Change (k = percent / 100, at least 0.1): the selection is
// read as if it had been sampled at rate * k and resampled back to the rate,
// so that it becomes 1/k as long and k times higher: 200 % halves it and
// raises it an octave. Speed Change: the time stretcher with factor k, same
// length change, pitch kept. Pitch Change: Speed and Pitch Change followed by
// the stretch that brings the length back, so only the pitch moves.
//
// Convert Sample Rate and Convert Channels rewrite the whole sound; with
// fewer channels the channel step runs before the rate step, with more after.
// Channels convert between mono and stereo only (stereo to mono keeps the
// left channel); other counts are refused with kChannelConversionRefused.

#include <cstdint>
#include <string>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "effects/channel_converter.h"
#include "effects/effect_parameter.h"
#include "effects/sound_converter.h"
#include "sys/settings_store.h"

// Display names: undo step and progress title.
constexpr const char* kSpeedAndPitchChangeName = "Speed and Pitch Change";
constexpr const char* kSpeedChangeName = "Speed Change";
constexpr const char* kPitchChangeName = "Pitch Change";
constexpr const char* kConvertSampleRateName = "Convert Sample Rate";
constexpr const char* kConvertChannelsName = "Convert Channels";
// Progress dialog lines.
constexpr const char* kSpeedPitchProgressTitle = "Speed and Pitch Change";
constexpr const char* kSpeedPitchProgressText = "Please wait...";
constexpr const char* kConvertProgressText = "Converting rate or channels...";

// The percent dialog (one dialog for the three effects, told apart by title).
enum class SpeedPitchMode { SpeedAndPitch = 0, Speed = 1, Pitch = 2 };
constexpr const char* kSpeedPitchLabels[] = {"Speed/Pitch Adjust (%)", "Speed Adjust (%)", "Pitch Adjust (%)"};
constexpr const char* kSpeedPercentTooLarge = "Speed Change Percent must be less than 300.";
constexpr const char* kSpeedPercentCaption = "Invalid value";
// The dialog title (a command name) to its mode; Speed and Pitch for others.
SpeedPitchMode speedPitchModeForTitle(const std::string& title);
bool speedPitchPercentAccepted(int32_t percent);

// Stored values: signed 16-bit percentages, at most 300 (below 10 counts as
// 10).
inline constexpr EffectParameter kSpSpeedPitchValue{kEffectValuesSection, "SpSpeedPitch", 100, kInt16Low, 300,
                                                    kInt16Low, kInt16High};
inline constexpr EffectParameter kConstPitchSpeedValue{kEffectValuesSection, "ConstPitchSpeed", 100, kInt16Low, 300,
                                                       kInt16Low, kInt16High};
inline constexpr EffectParameter kConstSpeedPitchValue{kEffectValuesSection, "ConstSpeedPitch", 100, kInt16Low, 300,
                                                       kInt16Low, kInt16High};
// The stored value of a mode.
const EffectParameter& speedPitchValue(SpeedPitchMode mode);
struct SpeedAndPitchParams {
  int32_t SpSpeedPitch = kSpSpeedPitchValue.defaultValue;
};
struct SpeedChangeParams {
  int32_t ConstPitchSpeed = kConstPitchSpeedValue.defaultValue;
};
struct PitchChangeParams {
  int32_t ConstSpeedPitch = kConstSpeedPitchValue.defaultValue;
};
SpeedAndPitchParams readSpeedAndPitchParams(const sys::SettingsStore& store);
void writeSpeedAndPitchParams(sys::SettingsStore& store, const SpeedAndPitchParams& params);
SpeedChangeParams readSpeedChangeParams(const sys::SettingsStore& store);
void writeSpeedChangeParams(sys::SettingsStore& store, const SpeedChangeParams& params);
PitchChangeParams readPitchChangeParams(const sys::SettingsStore& store);
void writePitchChangeParams(sys::SettingsStore& store, const PitchChangeParams& params);

struct SpeedPitchResult {
  JobResult result = JobResult::Done;
  // The end of the changed selection (start + the new length) on Done, the
  // given end otherwise.
  int32_t end = 0;
};

// Frames start..end-1 of sound (clamped); a percent above 300 fails.
SpeedPitchResult speedAndPitchChange(SoundBuffer& sound, int32_t start, int32_t end, const SpeedAndPitchParams& params,
                                     ProgressCallback* progress = nullptr);
SpeedPitchResult speedChange(SoundBuffer& sound, int32_t start, int32_t end, const SpeedChangeParams& params,
                             ProgressCallback* progress = nullptr);
SpeedPitchResult pitchChange(SoundBuffer& sound, int32_t start, int32_t end, const PitchChangeParams& params,
                             ProgressCallback* progress = nullptr);
SpeedPitchResult changeSpeedOrPitch(SoundBuffer& sound, int32_t start, int32_t end, SpeedPitchMode mode,
                                    int32_t percent, ProgressCallback* progress = nullptr);
// The source chain of a mode over input, at input's rate and channels (for a
// preview); null for a percent above 300.
SampleSourceRef makeSpeedPitchSource(SampleSourceRef input, SpeedPitchMode mode, int32_t percent);
// The rate the selection is read at by Speed and Pitch Change: rate * k,
// truncated, with k at least 0.1.
int32_t speedPitchRelabelledRate(int32_t rate, int32_t percent);

// Convert Sample Rate's dialog: the rates offered and the range accepted.
constexpr int32_t kSampleRateChoices[] = {96000, 88200, 64000, 48000, 44100, 32000, 22050, 16000, 11025, 8000, 6000};
constexpr int32_t kMinConvertRate = 6000;
constexpr int32_t kMaxConvertRate = 96000;
constexpr const char* kSampleRateOutOfRange = "Sample rates must be between 6000 and 96000 samples per second.";
bool convertRateAccepted(int32_t rate);

// in at rate and channels into out (out changes only on Done). The same
// content when nothing differs. Failed for a rate of 0 or less, a channel
// pair other than mono and stereo, or a result longer than a sound may be.
JobResult convertSound(const SoundBuffer& in, int32_t rate, int channels, SoundBuffer& out,
                       ProgressCallback* progress = nullptr);
// The whole sound converted in place; the current rate or count does nothing.
JobResult convertSampleRate(SoundBuffer& sound, int32_t rate, ProgressCallback* progress = nullptr);
JobResult convertChannels(SoundBuffer& sound, int channels, ProgressCallback* progress = nullptr);
// A source of the conversion of input (check its status).
SampleSourceRef makeFormatConversionSource(SampleSourceRef input, int32_t rate, int channels);

// The converter the editor hands to paste, insert and mix.
class ResamplingConverter final : public SoundConverter {
 public:
  JobResult convert(const SoundBuffer& in, int32_t sampleRate, int channels, SoundBuffer& out,
                    ProgressCallback* progress) override {
    return convertSound(in, sampleRate, channels, out, progress);
  }
};
