#pragma once
// "Amplify" and "Normalize": a percent in an edit box that a list of presets
// can fill. OK checks the value; a refused one keeps the dialog open with a
// message. The value is read from and written back to "StoredValues".
// Other effects with one value and presets use the same dialog with their
// own title, label and control ids.

#include <windows.h>

#include <optional>
#include <span>

#include "editor/model/effect_descriptor.h"

#include "effects/amplitude_effects.h"
#include "sys/settings_store.h"

bool askAmplify(HWND owner, sys::SettingsStore& store, AmplifyParams& params);
bool askNormalize(HWND owner, sys::SettingsStore& store, NormalizeParams& params);

struct ValuePresetDialogKind {
  const char* title;
  int editId;
  const char* label;
  int listId;
  int spinId;  // an up-down beside the edit box from spinLow to spinHigh; 0 for none
  int spinLow, spinHigh;
  std::span<const EffectPreset> presets;
  const char* (*problem)(std::optional<int> value);
};
// False when cancelled; value keeps what it was then.
bool askValueWithPresets(HWND owner, const ValuePresetDialogKind& kind, int32_t& value);
