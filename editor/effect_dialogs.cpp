#include "editor/effect_dialogs.h"

#include "editor/command_ids.h"
#include "editor/dialogs/compressor_dialog.h"
#include "editor/dialogs/cross_fade_dialog.h"
#include "editor/dialogs/envelope_dialog.h"
#include "editor/dialogs/percent_preset_dialog.h"
#include "editor/dialogs/sample_rate_dialog.h"
#include "editor/dialogs/speed_pitch_dialog.h"
#include "editor/dialogs/stereo_pan_dialog.h"

namespace {

bool askAmplifyValues(const EffectDialogContext& context, EffectRequest&) {
  AmplifyParams params;
  return askAmplify(context.owner, context.store, params);
}

bool askNormalizeValues(const EffectDialogContext& context, EffectRequest&) {
  NormalizeParams params;
  return askNormalize(context.owner, context.store, params);
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

bool askStereoPanValues(const EffectDialogContext& context, EffectRequest&) {
  StereoPanParams params;
  return askStereoPan(context.owner, context.store, params);
}

bool askCompressorValues(const EffectDialogContext& context, EffectRequest&) {
  CompressorParams params;
  return askCompressor(context.owner, context.store, params);
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
    {cmd::Amplify, askAmplifyValues},
    {cmd::Normalize, askNormalizeValues},
    {cmd::Envelope, askEnvelopeCurve},
    {cmd::CrossFade, askCrossFadeValues},
    {cmd::StereoPan, askStereoPanValues},
    {cmd::Compressor, askCompressorValues},
    {cmd::SpeedAndPitch, askSpeedPitchPercent},
    {cmd::SpeedChange, askSpeedPitchPercent},
    {cmd::PitchChange, askSpeedPitchPercent},
    {cmd::ConvertSampleRate, askTargetRate},
};

}  // namespace

EffectDialog effectDialogOf(int command) {
  for (const EffectDialogBinding& binding : kDialogs)
    if (binding.command == command) return binding.dialog;
  return nullptr;
}
