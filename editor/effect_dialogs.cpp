#include "editor/effect_dialogs.h"

#include "editor/command_ids.h"
#include "editor/dialogs/compressor_dialog.h"
#include "editor/dialogs/cross_fade_dialog.h"
#include "editor/dialogs/effect_form_dialog.h"
#include "editor/dialogs/equalizer_dialog.h"
#include "editor/dialogs/envelope_dialog.h"
#include "editor/dialogs/noise_repair_dialogs.h"
#include "editor/dialogs/percent_preset_dialog.h"
#include "editor/dialogs/sample_rate_dialog.h"
#include "editor/dialogs/speed_pitch_dialog.h"
#include "editor/dialogs/stereo_pan_dialog.h"

namespace {

// The dialogs that read, check and store their effect's values themselves:
// the request needs nothing else.
template <class Params, bool (*ask)(HWND, sys::SettingsStore&, Params&)>
bool askStoredValues(const EffectDialogContext& context, EffectRequest&) {
  Params params;
  return ask(context.owner, context.store, params);
}

bool askEnvelopeCurve(const EffectDialogContext& context, EffectRequest& request) {
  return askEnvelope(context.owner, context.dataFolder, request.curve);
}

bool askCrossFadeValues(const EffectDialogContext& context, EffectRequest&) {
  CrossFadeParams params = readCrossFadeParams(context.store);
  if (!askCrossFade(context.owner, context.preview, params)) return false;
  writeCrossFadeParams(context.store, params);
  return true;
}

// One dialog for the three speed and pitch commands, titled with the
// command's name; each keeps its own percent.
bool askSpeedPitchPercent(const EffectDialogContext& context, EffectRequest&) {
  const EffectParameter& stored = *context.effect.values[0];
  int32_t percent = readEffectParameter(context.store, stored);
  if (!askSpeedPitch(context.owner, context.effect.name, context.preview, percent)) return false;
  writeEffectParameter(context.store, stored, percent);
  return true;
}

bool askTargetRate(const EffectDialogContext& context, EffectRequest& request) {
  return askSampleRate(context.owner, context.preview.sound->sampleRate(), request.sampleRate);
}

struct EffectDialogBinding {
  int command;
  EffectDialog dialog;
};

constexpr EffectDialogBinding kDialogs[] = {
    {cmd::Amplify, askStoredValues<AmplifyParams, askAmplify>},
    {cmd::Normalize, askStoredValues<NormalizeParams, askNormalize>},
    {cmd::Envelope, askEnvelopeCurve},
    {cmd::CrossFade, askCrossFadeValues},
    {cmd::StereoPan, askStoredValues<StereoPanParams, askStereoPan>},
    {cmd::Compressor, askStoredValues<CompressorParams, askCompressor>},
    {cmd::SpeedAndPitch, askSpeedPitchPercent},
    {cmd::SpeedChange, askSpeedPitchPercent},
    {cmd::PitchChange, askSpeedPitchPercent},
    {cmd::ConvertSampleRate, askTargetRate},
    // The delay and filter effects.
    {cmd::Echo, askEffectForm},
    {cmd::Reverb, askEffectForm},
    {cmd::HighPass, askEffectForm},
    {cmd::Equalizer, askEqualizer},
    {cmd::Phaser, askEffectForm},
    {cmd::Flanger, askEffectForm},
    {cmd::Chorus, askEffectForm},
    {cmd::Distortion, askEffectForm},
    // Noise reduction and click repair.
    {cmd::NoiseGating, askNoiseGate},
    {cmd::AutoSpectralSubtraction, askAutoSpectralSubtraction},
    {cmd::SpectralSubtraction, checkNoiseSample},
    {cmd::AutoClickRepair, askClickRepair},
    {cmd::ManualClickRepair, checkManualRepairArea},
};

}  // namespace

EffectDialog effectDialogOf(int command) {
  for (const EffectDialogBinding& binding : kDialogs)
    if (binding.command == command) return binding.dialog;
  return nullptr;
}
