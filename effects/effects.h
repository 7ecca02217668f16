#pragma once
// Editing and effects: the Edit menu's operations, the clipboard and its
// system wave format, Auto Split, the effects with their jobs, the pieces
// of a sound that effect previews play, noise reduction and click repair,
// and the frequency analysis.

#include "effects/amplitude_effects.h"
#include "effects/auto_split.h"
#include "effects/channel_converter.h"
#include "effects/click_repair.h"
#include "effects/clipboard.h"
#include "effects/cross_fade_graph.h"
#include "effects/edit_operations.h"
#include "effects/effect_preview_range.h"
#include "effects/frequency_analysis.h"
#include "effects/noise_reduction.h"
#include "effects/resample_source.h"
#include "effects/sound_converter.h"
#include "effects/spectrogram.h"
#include "effects/speed_pitch.h"
#include "effects/speed_source.h"
#include "effects/wave_clipboard_format.h"
