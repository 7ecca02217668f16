// The effect commands, one descriptor each. A run adapts the request to its
// effect's function: the values in the order of the descriptor's records,
// and the selection and playback lead-in the editor takes afterwards.

#include <algorithm>

#include "editor/command_ids.h"
#include "editor/model/effect_descriptor.h"
#include "editor/model/effect_forms.h"
#include "editor/model/effect_presets.h"
#include "editor/model/noise_repair_checks.h"
#include "effects/amplitude_effects.h"
#include "effects/delay_filter_effects.h"
#include "effects/click_repair.h"
#include "effects/noise_reduction.h"
#include "effects/speed_pitch.h"

namespace {

constexpr const char* kPleaseWait = "Please wait...";
constexpr const char* kEnvelopeProgress = "Envelope";
constexpr const char* kSpeedPitchProgress = "Speed and Pitch Change";

// After an effect on the selection: the selection as it was (within what is
// left of the sound), the cursor at its end, playback a second before it.
EditResult afterSelectionEffect(const SoundBuffer& sound, const EffectRequest& request, JobResult result) {
  const int32_t length = sound.totalFrames();
  const int32_t end = std::min(request.end, length);
  return {statusOf(result), Selection{std::min(request.start, length), end, end}, sound.sampleRate()};
}

// After an effect on the whole sound: the cursor at the start, no lead-in.
EditResult afterWholeSoundEffect(JobResult result) { return {statusOf(result), Selection{}, 0}; }

EditResult runSpeedOrPitch(SoundBuffer& sound, const EffectRequest& request, SpeedPitchMode mode,
                           ProgressCallback* progress) {
  const SpeedPitchResult changed = changeSpeedOrPitch(sound, request.start, request.end, mode, request.values[0],
                                                      progress);
  return {statusOf(changed.result), Selection{request.start, changed.end, changed.end}, sound.sampleRate()};
}

EditResult runConvertChannels(SoundBuffer& sound, int channels, ProgressCallback* progress) {
  if (sound.channels() == channels) return {EditStatus::NothingToDo, Selection{}, 0};
  return afterWholeSoundEffect(convertChannels(sound, channels, progress));
}

constexpr const EffectParameter* kAmplifyValues[] = {&kAmplifyGainValue};
constexpr const EffectParameter* kNormalizeValues[] = {&kNormalizePeakLevelValue};
constexpr const EffectParameter* kCrossFadeValues[] = {&kGapTimeValue, &kFadeInTimeValue, &kFadeOutTimeValue};
constexpr const EffectParameter* kStereoPanValues[] = {&kStereoPanValue};
constexpr const EffectParameter* kAutoTrimValues[] = {&kAutoTrimThresholdValue};
constexpr const EffectParameter* kCompressorValues[] = {&kCompressorThresholdValue, &kCompressorRatioValue,
                                                        &kCompressorLimitValue};
constexpr const EffectParameter* kSpeedAndPitchValues[] = {&kSpSpeedPitchValue};
constexpr const EffectParameter* kSpeedChangeValues[] = {&kConstPitchSpeedValue};
constexpr const EffectParameter* kPitchChangeValues[] = {&kConstSpeedPitchValue};
constexpr const EffectParameter* kNoiseGateValues[] = {&kNoiseGateLevelValue};
constexpr const EffectParameter* kAutoSpectralSubtractionValues[] = {&kSsNoiseThresholdValue};
constexpr const EffectParameter* kClickRepairValues[] = {&kClickSensitivityValue, &kMaxClickLengthValue};

// The delay and filter effects.
constexpr const EffectParameter* kEchoValues[] = {&kEchoTimeValue, &kEchoGainValue};
constexpr const EffectParameter* kReverbValues[] = {&kReverbLevelValue, &kReverbTimeValue};
constexpr const EffectParameter* kHighPassValues[] = {&kLowCutFreqValue};
constexpr const EffectParameter* kEqualizerValues[] = {&kEqPresetValue};
constexpr const EffectParameter* kPhaserValues[] = {&kPhaserTimeValue, &kPhaserGainValue};
constexpr const EffectParameter* kFlangerValues[] = {&kFlangerTimeValue, &kFlangerModValue, &kFlangerDepthValue,
                                                     &kFlangerGainValue};
constexpr const EffectParameter* kChorusValues[] = {&kChorusTimeValue, &kChorusModValue, &kChorusDepthValue,
                                                    &kChorusGainValue};
constexpr const EffectParameter* kDistortionValues[] = {&kDistortionDegreeValue, &kDistortionLevelValue};

ModulatedDelayParams modulatedDelayOf(const EffectValues& values) {
  return {values[0], values[1], values[2], values[3]};
}

using Selected = EffectScope;

const EffectDescriptor kEffects[] = {
    {cmd::Amplify, kAmplifyName, kAmplifyName, kPleaseWait, Selected::Selection, false, kAmplifyValues,
     amplifyPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback*) {
       amplify(sound, request.start, request.end, AmplifyParams{request.values[0]});
       return afterSelectionEffect(sound, request, JobResult::Done);
     }},
    {cmd::Normalize, kNormalizeName, "Normalizing", kPleaseWait, Selected::Selection, false, kNormalizeValues,
     normalizePresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result = normalize(sound, request.start, request.end, NormalizeParams{request.values[0]}, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::FadeIn, kFadeInName, kEnvelopeProgress, kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, fadeIn(sound, request.start, request.end, progress));
     }},
    {cmd::FadeOut, kFadeOutName, kEnvelopeProgress, kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, fadeOut(sound, request.start, request.end, progress));
     }},
    {cmd::FadeOutAndTrim, kFadeOutAndTrimName, kEnvelopeProgress, kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, fadeOutAndTrim(sound, request.start, request.end, progress));
     }},
    {cmd::Envelope, kEnvelopeName, kEnvelopeProgress, kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result = applyEnvelope(sound, request.start, request.end, request.curve, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::CrossFade, kCrossFadeName, kCrossFadeName, kPleaseWait, Selected::Selection, false, kCrossFadeValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const CrossFadeParams params{request.values[0], request.values[1], request.values[2]};
       return afterSelectionEffect(sound, request, crossFade(sound, request.start, request.end, params, progress));
     }},
    {cmd::StereoPan, kStereoPanName, kStereoPanName, kPleaseWait, Selected::Selection, true, kStereoPanValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result = stereoPan(sound, request.start, request.end, StereoPanParams{request.values[0]}, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::DcOffset, kDcOffsetName, kDcOffsetName, kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, dcOffsetCorrection(sound, request.start, request.end, progress));
     }},
    {cmd::Reverse, kReverseName, "Reversing Sound", kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, reverse(sound, request.start, request.end, progress));
     }},
    {cmd::AutoTrim, kAutoTrimName, "AutoTrim", kPleaseWait, Selected::WholeSound, false, kAutoTrimValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterWholeSoundEffect(autoTrim(sound, AutoTrimParams{request.values[0]}, progress).result);
     }},
    {cmd::AutoGainControl, kAutomaticGainControlName, "Performing Automatic Gain Control", "Please Wait...",
     Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, automaticGainControl(sound, request.start, request.end, progress));
     }},
    {cmd::Compressor, kCompressorName, kCompressorName, kPleaseWait, Selected::Selection, false, kCompressorValues,
     compressorPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result =
           compressor(sound, request.start, request.end, compressorParamsOf(request.values), progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::SpeedAndPitch, kSpeedAndPitchChangeName, kSpeedPitchProgress, kPleaseWait, Selected::Selection, false,
     kSpeedAndPitchValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return runSpeedOrPitch(sound, request, SpeedPitchMode::SpeedAndPitch, progress);
     }},
    {cmd::SpeedChange, kSpeedChangeName, kSpeedPitchProgress, kPleaseWait, Selected::Selection, false,
     kSpeedChangeValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return runSpeedOrPitch(sound, request, SpeedPitchMode::Speed, progress);
     }},
    {cmd::PitchChange, kPitchChangeName, kSpeedPitchProgress, kPleaseWait, Selected::Selection, false,
     kPitchChangeValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return runSpeedOrPitch(sound, request, SpeedPitchMode::Pitch, progress);
     }},
    // Noise reduction and click repair.
    {cmd::NoiseGating, kNoiseGateName, kNoiseGateName, kPleaseWait, Selected::Selection, false, kNoiseGateValues,
     noiseGatePresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result = noiseGate(sound, request.start, request.end, NoiseGateParams{request.values[0]}, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::AutoSpectralSubtraction, kAutoSpectralSubtractionName, kAutoSpectralSubtractionName, kPleaseWait,
     Selected::Selection, false, kAutoSpectralSubtractionValues, autoSpectralSubtractionPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const AutoSpectralSubtractionParams params{request.values[0]};
       return afterSelectionEffect(sound, request,
                                   autoSpectralSubtraction(sound, request.start, request.end, params, progress));
     }},
    // The editor refuses the command before this when the sample is missing or does not fit.
    {cmd::SpectralSubtraction, kNoiseSampleSubtractionName, kNoiseSampleSubtractionName, kPleaseWait,
     Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       if (!request.noiseSample) return EditResult{EditStatus::Failed, Selection{}, 0};
       JobResult result = noiseSampleSubtraction(sound, request.start, request.end, *request.noiseSample, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::AutoClickRepair, kAutoClickRepairName, kClickDetectingProgress, kPleaseWait, Selected::Selection, false,
     kClickRepairValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const ClickRepairParams params{request.values[0], request.values[1]};
       return afterSelectionEffect(sound, request, autoClickRepair(sound, request.start, request.end, params, progress));
     }},
    {cmd::ManualClickRepair, kManualClickRepairName, kManualClickRepairName, kPleaseWait, Selected::Selection, false,
     {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, manualClickRepair(sound, request.start, request.end, progress));
     }},
    // The current rate or channel count changes nothing and leaves no undo step.
    {cmd::ConvertSampleRate, kConvertSampleRateName, kConvertProgressText, "", Selected::WholeSound, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       if (request.sampleRate == sound.sampleRate()) return EditResult{EditStatus::NothingToDo, Selection{}, 0};
       return afterWholeSoundEffect(convertSampleRate(sound, request.sampleRate, progress));
     }},
    {cmd::ConvertToMono, kConvertChannelsName, kConvertProgressText, "", Selected::WholeSound, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest&, ProgressCallback* progress) {
       return runConvertChannels(sound, 1, progress);
     }},
    {cmd::ConvertToStereo, kConvertChannelsName, kConvertProgressText, "", Selected::WholeSound, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest&, ProgressCallback* progress) {
       return runConvertChannels(sound, 2, progress);
     }},
    // The delay and filter effects.
    {cmd::Echo, kEchoName, kEchoName, kPleaseWait, Selected::Selection, false, kEchoValues, echoPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const EchoParams params{request.values[0], request.values[1]};
       return afterSelectionEffect(sound, request, echo(sound, request.start, request.end, params, progress));
     }},
    {cmd::Reverb, kReverbName, kReverbName, kPleaseWait, Selected::Selection, false, kReverbValues, reverbPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const ReverbParams params{request.values[0], request.values[1]};
       return afterSelectionEffect(sound, request, reverb(sound, request.start, request.end, params, progress));
     }},
    {cmd::HighPass, kHighPassName, kHighPassJobName, kPleaseWait, Selected::Selection, false, kHighPassValues,
     highPassPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const HighPassParams params{request.values[0]};
       return afterSelectionEffect(sound, request, highPass(sound, request.start, request.end, params, progress));
     }},
    {cmd::Equalizer, kEqualizerName, "Equalizing", kPleaseWait, Selected::Selection, false, kEqualizerValues, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result = equalizer(sound, request.start, request.end, request.curve, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::Phaser, kPhaserName, kPhaserName, kPleaseWait, Selected::Selection, false, kPhaserValues, phaserPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const PhaserParams params{request.values[0], request.values[1]};
       return afterSelectionEffect(sound, request, phaser(sound, request.start, request.end, params, progress));
     }},
    {cmd::Flanger, kFlangerName, kFlangerName, kPleaseWait, Selected::Selection, false, kFlangerValues,
     flangerPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result = modulatedDelay(sound, request.start, request.end, modulatedDelayOf(request.values),
                                         kFlangerName, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::Chorus, kChorusName, kChorusName, kPleaseWait, Selected::Selection, false, kChorusValues, chorusPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       JobResult result = modulatedDelay(sound, request.start, request.end, modulatedDelayOf(request.values),
                                         kChorusName, progress);
       return afterSelectionEffect(sound, request, result);
     }},
    {cmd::Distortion, kDistortionName, kDistortionName, kPleaseWait, Selected::Selection, false, kDistortionValues,
     distortionPresets(),
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       const DistortionParams params{request.values[0], request.values[1]};
       return afterSelectionEffect(sound, request, distortion(sound, request.start, request.end, params, progress));
     }},
    {cmd::AmRadio, kAmRadioName, kAmRadioName, kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, amRadio(sound, request.start, request.end, progress));
     }},
    {cmd::Telephone, kTelephoneName, kTelephoneName, kPleaseWait, Selected::Selection, false, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, telephone(sound, request.start, request.end, progress));
     }},
    {cmd::ReduceVocals, kReduceVocalsName, kReduceVocalsName, kPleaseWait, Selected::Selection, true, {}, {},
     [](SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress) {
       return afterSelectionEffect(sound, request, reduceVocals(sound, request.start, request.end, progress));
     }},
};

}  // namespace

std::span<const EffectDescriptor> effectDescriptors() { return kEffects; }

const EffectDescriptor* findEffectDescriptor(int command) {
  for (const EffectDescriptor& effect : kEffects)
    if (effect.command == command) return &effect;
  return nullptr;
}

EffectValues readEffectValues(const sys::SettingsStore& store, const EffectDescriptor& effect) {
  EffectValues values{};
  for (size_t i = 0; i < effect.values.size() && i < values.size(); ++i)
    values[i] = readEffectParameter(store, *effect.values[i]);
  return values;
}
