#pragma once
// The batch converter's commands: 21 edits and effects by index, each with
// the parameter block a batch script stores for it. A command is run through
// the effect descriptor of its effect, so a batch run does exactly what the
// menu command does to a whole file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "editor/model/effect_descriptor.h"
#include "sys/settings_store.h"

constexpr uint32_t kBatchCommandCount = 21;
// An equalizer or envelope block: a point count, then 64 (position, level) pairs.
constexpr size_t kBatchCurveBytes = 1 + 2 * kMaxEnvelopePoints;

struct BatchCommand {
  uint32_t index = 0;               // 0 .. kBatchCommandCount - 1
  std::vector<uint8_t> parameters;  // shorter than the command's size: the stored values apply
};

// Where a command's values come from when its block is short: the settings
// and the per-user data folder (the curve files).
struct BatchDefaults {
  const sys::SettingsStore& store;
  std::string dataFolder;
};

// What a command runs with: its values in the order of its effect's
// descriptor, or its curve.
struct BatchValues {
  EffectValues values{};
  EnvelopeCurve curve;
};

const char* batchCommandName(uint32_t index);  // "" beyond the list
size_t batchParameterSize(uint32_t index);
// The effect command a batch command runs (cmd::...); 0 for Insert Silence.
int batchEffectCommand(uint32_t index);
bool batchCommandHasSettings(uint32_t index);
bool batchCommandUsesCurve(uint32_t index);

// The block when it is whole, the stored values otherwise.
BatchValues resolveBatchValues(const BatchCommand& command, const BatchDefaults& defaults);
// A block holding these values.
std::vector<uint8_t> batchParametersOf(uint32_t index, const BatchValues& values);
// A new command carrying the stored values, as "Add" puts it in the list.
BatchCommand newBatchCommand(uint32_t index, const BatchDefaults& defaults);

// The list's description: "Echo Time (ms) = 800, Echo Gain (%) = 50".
std::string describeBatchCommand(const BatchCommand& command, const BatchDefaults& defaults);

// Why the command may not run (a value outside what its dialog accepts), or
// nothing. A compressor ratio past the ratio list is no refusal: that
// command is skipped.
std::optional<std::string> batchCommandProblem(const BatchCommand& command, const BatchDefaults& defaults);

enum class BatchCommandOutcome { Done, Skipped, Refused, Cancelled, Failed };
// Runs the command on the whole sound. Skipped leaves the sound as it was:
// a compressor ratio past the list, a stereo effect on a mono sound, a
// conversion to what the sound already is.
BatchCommandOutcome runBatchCommand(SoundBuffer& sound, const BatchCommand& command, const BatchDefaults& defaults,
                                    ProgressCallback* progress = nullptr);
