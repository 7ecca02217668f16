#pragma once
// The dialogs that choose a plug-in effect: "VST Plugin" (a folder of
// plug-ins, one of them, its settings) and "DirectX Plugins" (one of the
// system's audio effects, its property pages).

#include <windows.h>

#include <memory>
#include <optional>

#include "effects/vst_host.h"
#include "sys/settings_store.h"

// The plug-in chosen, opened at the sound's rate with what the user set in
// its settings: nothing when the user cancelled or chose none, null when the
// chosen one cannot be opened (applying it fails). The folder is kept in
// "VSTFolder" of the settings.
std::optional<std::shared_ptr<VstPlugin>> chooseVstPlugin(HWND owner, sys::SettingsStore& store,
                                                          int32_t sampleRate);
// The class of the effect chosen; nothing when the user cancelled or there is none.
std::optional<CLSID> chooseDirectXEffect(HWND owner);
