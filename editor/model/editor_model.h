#pragma once
// The editor's logic that has no window: what a view shows, the waveform's
// peaks, times as text, the recent files, keys, the command line, names of
// new sounds, the settings, the effect descriptors, the level effects'
// presets and envelope editing.

#include "editor/model/command_line.h"
#include "editor/model/document_names.h"
#include "editor/model/editor_settings.h"
#include "editor/model/effect_descriptor.h"
#include "editor/model/effect_presets.h"
#include "editor/model/envelope_editing.h"
#include "editor/model/keys_file.h"
#include "editor/model/peaks.h"
#include "editor/model/recent_files.h"
#include "editor/model/time_text.h"
#include "editor/model/view_state.h"
