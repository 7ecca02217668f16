#pragma once
// Auto Split: finds the parts of a sound that lie between silences, for the
// editor to open each as a new window (extractRange of each range).
//
// A frame is silent when every channel stays below the silence level. A run
// of silent frames at least minSilenceMs long separates two parts; shorter
// pauses (between words, at zero crossings) stay inside a part. Silence
// before the first part and after the last is not part of any. Parts that
// come out shorter than minPartMs (a click or a breath between silences) are
// left out. Each part then gets up to keptSilenceMs of the silence around it
// at both edges, never more than half of the pause to its neighbour, so that
// parts never overlap and do not start or stop abruptly.

#include <cstdint>
#include <vector>

#include "core/sound_buffer.h"

struct AutoSplitSettings {
  int32_t silenceLevelDb = -40;  // dB below full scale, -120 to 0
  int32_t minSilenceMs = 1000;
  int32_t minPartMs = 500;
  int32_t keptSilenceMs = 100;
};

struct FrameRange {
  int32_t start = 0;
  int32_t end = 0;  // exclusive
  bool operator==(const FrameRange&) const = default;
};

struct AutoSplitResult {
  JobResult result = JobResult::Done;  // Cancelled when progress said stop
  std::vector<FrameRange> parts;       // in order; empty for a silent sound
};

AutoSplitResult findAutoSplitParts(const SoundBuffer& sound, const AutoSplitSettings& settings,
                                   ProgressCallback* progress = nullptr);

// The silence level as a sample magnitude: samples with a smaller magnitude
// are silent. At least 1, so that -120 dB still treats digital zero as silent.
Sample silenceThreshold(int32_t silenceLevelDb);
