#pragma once
// Click and pop repair. Automatic restoration scans a high-passed copy of
// the selection for short bursts that jump far above their surroundings and
// replaces each with a straight line between the samples around it; manual
// repair does the same for one short selection the user points at. Both
// write a repaired copy over the selection like every effect: Cancel, or a
// failure, leaves the sound as it was.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "effects/effect_job.h"
#include "effects/effect_parameter.h"

// 0..100; higher finds more clicks.
inline constexpr EffectParameter kClickSensitivityValue{kEffectSettingsSection, "ClickSensitivity", 50, 0, 100,
                                                        kInt32Low, kInt32High};
// Microseconds. Never stored, the detector takes 150; the dialog offers 450
// (19 frames at 44,100 Hz). Longer than a quarter of the scan window counts
// as a quarter of it.
inline constexpr EffectParameter kMaxClickLengthValue{kEffectSettingsSection, "MaxClickLength", 150, 1, 1000000,
                                                      kInt32Low, kInt32High};
constexpr int32_t kMaxClickLengthOffered = 450;
struct ClickRepairParams {
  int32_t ClickSensitivity = kClickSensitivityValue.defaultValue;
  int32_t MaxClickLength = kMaxClickLengthValue.defaultValue;
};

// The scan window: 16 * ((rate / 100 + 4) rounded down to a multiple of 4) frames.
int32_t clickWindowFrames(int32_t sampleRate);
// How far back a jump is measured: rate / 44,100 + 1 frames.
int32_t clickLagFrames(int32_t sampleRate);
// The longest click in frames: rate * microseconds / 1,000,000, within
// 0..a quarter of the window.
int32_t maxClickFrames(int32_t sampleRate, int32_t maxClickLength);

// The levels a frame must pass to start a click, from one window's mean
// level, mean jump and the jumps' spread (all in sample units).
struct ClickThresholds {
  int64_t level;
  int64_t jump;
};
ClickThresholds clickThresholds(int32_t sensitivity, int64_t meanLevel, int64_t meanJump, int64_t jumpSpread);

// Frames first..last of one channel, as a line from `before` (the sample
// before first) to `after` (the one after last), both excluded.
struct ClickRepair {
  int channel;
  int64_t first, last;
  Sample before, after;
  // Sample number k (1-based) of the repaired range.
  Sample value(int64_t k) const;
};

// The automatic scan over interleaved frames pushed in order; the repairs it
// found so far, in the order found.
class ClickDetector {
 public:
  ClickDetector(int32_t sampleRate, int channels, int64_t totalFrames, const ClickRepairParams& params);
  ~ClickDetector();
  void push(const Sample* samples, int32_t frames);
  // After the last push: scans what is left.
  void finish();
  const std::vector<ClickRepair>& repairs() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

JobResult autoClickRepair(SoundBuffer& sound, int32_t start, int32_t end, const ClickRepairParams& params,
                          ProgressCallback* progress = nullptr, size_t* repairCount = nullptr);

// Manual repair takes selections up to a millisecond long (rate * 0.001 frames).
bool manualRepairAreaTooLarge(int32_t frames, int32_t sampleRate);
// Failed, nothing changed, for a selection that is too large.
JobResult manualClickRepair(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress = nullptr);

// The source with repairs drawn in: what both kinds write over the selection.
SampleSourceRef repairedSource(SampleSourceRef input, std::vector<ClickRepair> repairs);

// Display names: undo step and progress title; the scan's progress line.
constexpr const char* kAutoClickRepairName = "&Auto Click/Pop Restoration";
constexpr const char* kClickDetectingProgress = "Click Detecting";
constexpr const char* kManualClickRepairName = "&Manual Click/Pop Repair";
