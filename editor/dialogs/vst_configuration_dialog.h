#pragma once
// "VST Configuration": the plug-in's own editor when it has one, otherwise
// the list of its parameters, each changed by double-clicking its row.

#include <windows.h>

#include "effects/vst_host.h"

void showVstConfiguration(HWND owner, VstPlugin& plugin);
