#include "effects/speed_pitch.h"

#include <algorithm>

#include "effects/amplitude_effects.h"
#include "effects/effect_job.h"
#include "effects/resample_source.h"
#include "effects/speed_source.h"

namespace {

// Factors below 0.1 (10 %) are raised to it: ten times longer at most.
constexpr int32_t kMinPercent = 10;

int32_t effectivePercent(int32_t percent) { return std::max(percent, kMinPercent); }

class PitchChangeJob final : public EffectJob {
 public:
  explicit PitchChangeJob(int32_t percent) : m_percent(percent) {}
  std::string name() const override { return kPitchChangeName; }
  SampleSourceRef process(SampleSourceRef input) override {
    return makeSpeedPitchSource(std::move(input), SpeedPitchMode::Pitch, m_percent);
  }

 private:
  int32_t m_percent;
};

// Replaces frames start..end-1 of sound with what chain makes of them; the
// chain's length is the new length of the selection.
SpeedPitchResult replaceSelection(SoundBuffer& sound, int32_t start, int32_t end, SpeedPitchMode mode,
                                  int32_t percent, ProgressCallback* progress) {
  const SpeedPitchResult failed{JobResult::Failed, end};
  SoundBuffer selection;
  if (!selection.extractRange(sound, start, end)) return failed;
  SampleSourceRef input = selection.openReader();
  if (!input->good()) return failed;
  SampleSourceRef chain = makeSpeedPitchSource(input, mode, percent);
  if (!chain || !chain->good() || chain->channels() != sound.channels() || chain->sampleRate() != sound.sampleRate())
    return failed;
  // The chain's length is already clamped to 32 bits; a longer result is refused.
  const int64_t length = chain->length();
  const int64_t total = static_cast<int64_t>(sound.totalFrames()) - (end - start) + length;
  if (length >= INT32_MAX || total > kMaxFrames) return failed;

  // The output buffer must outlive its writer: declared first, destroyed last.
  SoundBuffer output;
  JobResult result;
  {
    SampleSinkRef writer = output.openWriter(sound.sampleRate(), sound.channels());
    if (!writer->good()) return failed;
    result = copySourceToSink(*chain, *writer, length, progress);
    if (writer->close() != SourceStatus::Good && result == JobResult::Done) result = JobResult::Failed;
  }
  if (result != JobResult::Done) return {result, end};
  if (output.totalFrames() != length || !sound.replaceRange(start, end, output)) return failed;
  return {JobResult::Done, static_cast<int32_t>(start + length)};
}

}  // namespace

SpeedPitchMode speedPitchModeForTitle(const std::string& title) {
  if (title == kSpeedChangeName) return SpeedPitchMode::Speed;
  if (title == kPitchChangeName) return SpeedPitchMode::Pitch;
  return SpeedPitchMode::SpeedAndPitch;
}

bool speedPitchPercentAccepted(int32_t percent) { return percent <= kSpSpeedPitchValue.maximum; }

const EffectParameter& speedPitchValue(SpeedPitchMode mode) {
  return mode == SpeedPitchMode::Speed   ? kConstPitchSpeedValue
         : mode == SpeedPitchMode::Pitch ? kConstSpeedPitchValue
                                         : kSpSpeedPitchValue;
}

SpeedAndPitchParams readSpeedAndPitchParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kSpSpeedPitchValue)};
}
void writeSpeedAndPitchParams(sys::SettingsStore& store, const SpeedAndPitchParams& params) {
  writeEffectParameter(store, kSpSpeedPitchValue, params.SpSpeedPitch);
}
SpeedChangeParams readSpeedChangeParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kConstPitchSpeedValue)};
}
void writeSpeedChangeParams(sys::SettingsStore& store, const SpeedChangeParams& params) {
  writeEffectParameter(store, kConstPitchSpeedValue, params.ConstPitchSpeed);
}
PitchChangeParams readPitchChangeParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kConstSpeedPitchValue)};
}
void writePitchChangeParams(sys::SettingsStore& store, const PitchChangeParams& params) {
  writeEffectParameter(store, kConstSpeedPitchValue, params.ConstSpeedPitch);
}

int32_t speedPitchRelabelledRate(int32_t rate, int32_t percent) {
  // Integer arithmetic: rate * 0.29 in floating point would truncate to one less.
  return clampToInt32(static_cast<int64_t>(rate) * effectivePercent(percent) / 100);
}

SampleSourceRef makeSpeedPitchSource(SampleSourceRef input, SpeedPitchMode mode, int32_t percent) {
  if (!speedPitchPercentAccepted(percent)) return {};
  const int32_t rate = input->sampleRate();
  const int32_t relabelled = speedPitchRelabelledRate(rate, percent);
  switch (mode) {
    case SpeedPitchMode::Speed:
      return makeRef<SpeedSource>(std::move(input), effectivePercent(percent) / 100.0);
    case SpeedPitchMode::Pitch: {
      // The resampled sound is rate / relabelled times as long; reading it
      // that much faster brings back the length, frame for frame.
      const int32_t length = input->length();
      SampleSourceRef shifted = makeRef<ResampleSource>(std::move(input), rate, relabelled);
      return makeRef<SpeedSource>(std::move(shifted), static_cast<double>(rate) / relabelled, SpeedTimeline::Output,
                                  length);
    }
    default:
      return makeRef<ResampleSource>(std::move(input), rate, relabelled);
  }
}

SpeedPitchResult changeSpeedOrPitch(SoundBuffer& sound, int32_t start, int32_t end, SpeedPitchMode mode,
                                    int32_t percent, ProgressCallback* progress) {
  if (!speedPitchPercentAccepted(percent)) return {JobResult::Failed, end};
  const int32_t givenEnd = end;
  if (!clampSelection(sound, start, end)) return {JobResult::Done, givenEnd};
  if (mode == SpeedPitchMode::Pitch) {
    // The length stays: the shared runner does it.
    PitchChangeJob job(percent);
    const JobResult result = runEffectJob(sound, start, end, job, progress);
    return {result, result == JobResult::Done ? end : givenEnd};
  }
  SpeedPitchResult result = replaceSelection(sound, start, end, mode, percent, progress);
  if (result.result != JobResult::Done) result.end = givenEnd;
  return result;
}

SpeedPitchResult speedAndPitchChange(SoundBuffer& sound, int32_t start, int32_t end, const SpeedAndPitchParams& params,
                                     ProgressCallback* progress) {
  return changeSpeedOrPitch(sound, start, end, SpeedPitchMode::SpeedAndPitch, params.SpSpeedPitch, progress);
}

SpeedPitchResult speedChange(SoundBuffer& sound, int32_t start, int32_t end, const SpeedChangeParams& params,
                             ProgressCallback* progress) {
  return changeSpeedOrPitch(sound, start, end, SpeedPitchMode::Speed, params.ConstPitchSpeed, progress);
}

SpeedPitchResult pitchChange(SoundBuffer& sound, int32_t start, int32_t end, const PitchChangeParams& params,
                             ProgressCallback* progress) {
  return changeSpeedOrPitch(sound, start, end, SpeedPitchMode::Pitch, params.ConstSpeedPitch, progress);
}
