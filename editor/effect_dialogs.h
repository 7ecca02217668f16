#pragma once
// The dialog each effect command opens, bound to the command's descriptor.
// A dialog reads its stored values, lets the user change them and writes
// them back on OK; what is not a stored value (the Envelope's curve, the
// target rate) it hands over in the request.

#include <windows.h>

#include <string>

#include "editor/effect_preview.h"
#include "editor/model/effect_descriptor.h"
#include "sys/settings_store.h"

struct EffectDialogContext {
  HWND owner;
  sys::SettingsStore& store;
  const std::string& dataFolder;  // the per-user data folder
  PreviewInput preview;           // the document, for dialogs with a preview
  const EffectDescriptor& effect;
};

// False when the user cancelled: the command ends with nothing changed.
using EffectDialog = bool (*)(const EffectDialogContext& context, EffectRequest& request);

// The dialog of an effect command; null for effects that ask nothing.
EffectDialog effectDialogOf(int command);
