#pragma once
// The audio data core: sample blocks, sound buffers, sources and sinks.

#include "core/block_store.h"
#include "core/block_span.h"
#include "core/buffer_reader.h"
#include "core/block_writer.h"
#include "core/format_adapter_source.h"
#include "core/low_disk_check.h"
#include "core/sample.h"
#include "core/sample_source.h"
#include "core/selection.h"
#include "core/silence_source.h"
#include "core/sound_buffer.h"
#include "core/undo_ring.h"
