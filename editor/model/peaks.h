#pragma once
// The peak pictures of the waveform display: per pixel column an upper and a
// lower byte (0..255). Close up the samples themselves are read; from afar
// the blocks' overview files, one record per 256 frames, so that drawing a
// long sound never touches its samples.

#include <atomic>
#include <cstdint>

#include "core/sample_source.h"
#include "core/sound_buffer.h"

constexpr int kMaxPeakColumns = 2048;
// Largest piece of samples read at a time for one column.
constexpr int32_t kPeakReadFrames = 8192;

struct PeakRequest {
  int64_t firstFrame;     // the frame at the left edge of column 0
  double framesPerPixel;  // column x shows [first + x * scale, first + (x + 1) * scale)
  int columnBegin, columnEnd;  // the columns to compute, end exclusive
  int displayMode;        // 0 +/-, 1 L/R, 2 dual
  bool verticalZoom;      // eight times the height
  int channels;           // the sound's channels (the data's own count governs reading)
};

// Counts what the overview path read, for the drawing benchmark.
struct OverviewReadStats {
  int64_t bytesRead = 0;
};

// Whether a pixel covers more frames than one overview record.
bool usesOverview(double framesPerPixel);

// upper and lower are indexed by column and hold at least columnEnd entries;
// entries columnBegin..columnEnd-1 are written (columns are limited to
// 0..kMaxPeakColumns). Both return as soon as stop is set; the columns not
// reached then are left as they were (sample path) or 0 (overview path).
//
// +/- (mode 0, or any mono sound): upper = largest sample, lower = most
// negative sample negated, over all channels. L/R (modes 1 and 2 with two
// channels): upper from the left channel's magnitude, lower from the right's.
void computeSamplePeaks(SampleSource& source, const PeakRequest& request, uint8_t* upper, uint8_t* lower,
                        const std::atomic<bool>& stop);
void computeOverviewPeaks(const SoundBuffer& buffer, const PeakRequest& request, uint8_t* upper, uint8_t* lower,
                          const std::atomic<bool>& stop, OverviewReadStats* stats = nullptr);
