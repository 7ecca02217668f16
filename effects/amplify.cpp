#include "effects/amplitude_effects.h"
#include "effects/stored_value.h"

AmplifyParams readAmplifyParams(const sys::SettingsStore& store) {
  return {readStoredValue(store, kEffectValuesSection, "AmplifyGain", 100, kInt16Low, kInt16High)};
}

void writeAmplifyParams(sys::SettingsStore& store, const AmplifyParams& params) {
  store.writeNumber(kEffectValuesSection, "AmplifyGain", params.AmplifyGain);
}

void amplify(SoundBuffer& sound, int32_t start, int32_t end, const AmplifyParams& params) {
  // Span surgery only: the time does not depend on the selection's length.
  // The gains are scaled wide and saturate instead of wrapping.
  if (!clampSelection(sound, start, end)) return;
  sound.scaleRange(start, end, params.AmplifyGain);
}
