#pragma once
// The system's DirectX audio effects (media objects of the audio-effect
// category): the list, the objects themselves (created once per class and
// kept, so that what the user set in their property pages is what runs), and
// the port through which the effect stage drives one.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "effects/dmo_effect_stage.h"

struct DirectXEffectEntry {
  CLSID classId;
  std::string name;
};

// The registered audio effects, keyed ones included; empty when there are
// none or the system has no media-object support.
std::vector<DirectXEffectEntry> listDirectXEffects();
// The port to the kept object of the class; null when it cannot be created.
std::shared_ptr<MediaObjectPort> openDirectXEffect(const CLSID& classId);
// Shows the object's property pages over owner; false when it has none.
bool showDirectXEffectProperties(HWND owner, const CLSID& classId);
