#pragma once
// One record per effect command: everything about an effect that is not a
// window. The frame dispatches every effect command from this table, and a
// batch run builds its commands from it; the dialog each effect opens is
// bound to its command in the editor's window layer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "effects/amplitude_effects.h"
#include "effects/edit_operations.h"
#include "effects/effect_parameter.h"
#include "effects/noise_reduction.h"
#include "sys/settings_store.h"

// An effect's stored values, in the order of its descriptor's `values`.
constexpr size_t kMaxEffectValues = 4;
using EffectValues = std::array<int32_t, kMaxEffectValues>;

struct EffectPreset {
  const char* name;
  EffectValues values;
};

// What one run of an effect takes besides the sound.
struct EffectRequest {
  int32_t start = 0;  // the selection; whole-sound effects ignore it
  int32_t end = 0;
  EffectValues values{};
  EnvelopeCurve curve;     // the Envelope's curve
  int32_t sampleRate = 0;  // Convert Sample Rate's target
  std::shared_ptr<const NoiseSample> noiseSample;  // the grabbed noise, for its subtraction
};

enum class EffectScope {
  Selection,   // the selection, the whole sound when nothing is selected
  WholeSound,  // always the whole sound
};

struct EffectDescriptor {
  int command;
  const char* name;          // the undo step and the progress dialog's title
  const char* progressLine;  // the progress dialog's upper line
  const char* progressWait;  // its lower line; empty for none
  EffectScope scope;
  bool needsStereo;  // a mono sound gets the conversion question instead
  std::span<const EffectParameter* const> values;
  std::span<const EffectPreset> presets;
  // Runs the effect. Done leaves the sound changed, with the selection and
  // the playback lead-in to take; NothingToDo means the request asks for no
  // change (no undo step); anything else leaves the sound as it was.
  EditResult (*run)(SoundBuffer& sound, const EffectRequest& request, ProgressCallback* progress);
};

std::span<const EffectDescriptor> effectDescriptors();
// The descriptor of a command; null for commands that are no effect.
const EffectDescriptor* findEffectDescriptor(int command);
// The effect's stored values from the settings, each read through its record.
EffectValues readEffectValues(const sys::SettingsStore& store, const EffectDescriptor& effect);
