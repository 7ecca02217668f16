#include "effects/amplitude_effects.h"

AmplifyParams readAmplifyParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kAmplifyGainValue)};
}

void writeAmplifyParams(sys::SettingsStore& store, const AmplifyParams& params) {
  writeEffectParameter(store, kAmplifyGainValue, params.AmplifyGain);
}

void amplify(SoundBuffer& sound, int32_t start, int32_t end, const AmplifyParams& params) {
  // Span surgery only: the time does not depend on the selection's length.
  // The gains are scaled wide and saturate instead of wrapping.
  if (!clampSelection(sound, start, end)) return;
  sound.scaleRange(start, end, params.AmplifyGain);
}
