#pragma once
// What the level effects' dialogs offer and accept, apart from any window:
// the preset rows of Amplify, Normalize and the Dynamic Range Compressor,
// the checks OK makes with the messages they give, and the Stereo Pan
// gains as words.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "editor/model/effect_descriptor.h"
#include "effects/amplitude_effects.h"

// The first row of every preset list; choosing it changes nothing.
constexpr const char* kSelectPresetRow = "Select Preset";
// Caption of every message about a refused value.
constexpr const char* kInvalidValueCaption = "Invalid value";

// Preset values are in the order of the effect's stored values: the
// percent of Amplify and Normalize; threshold, ratio and limit of the
// compressor.
std::span<const EffectPreset> amplifyPresets();
std::span<const EffectPreset> normalizePresets();
std::span<const EffectPreset> compressorPresets();
CompressorParams compressorParamsOf(const EffectValues& values);

// The preset of a list row, where row 0 is "Select Preset": null for row 0
// and for rows outside the list.
template <class Preset>
const Preset* presetAtRow(std::span<const Preset> presets, int row) {
  return row >= 1 && static_cast<size_t>(row) <= presets.size() ? &presets[static_cast<size_t>(row) - 1] : nullptr;
}

// Index of a ratio name in the compressor's ratio list, or -1.
int compressorRatioIndex(const std::string& name);

// The checks of OK, within the ranges of the values' records: null when the
// value is accepted, otherwise the message to show (captioned
// kInvalidValueCaption) while the dialog stays open. An empty value is text
// that is not a whole number.
const char* amplifyGainProblem(std::optional<int> percent);
const char* normalizePeakLevelProblem(std::optional<int> percent);

enum class CompressorField { None, Threshold, Ratio, Limit };
struct CompressorCheck {
  CompressorField field = CompressorField::None;  // the field to correct
  const char* message = nullptr;
};
// ratio is the row chosen in the ratio list, -1 for none.
CompressorCheck checkCompressorValues(std::optional<int> threshold, int ratio, std::optional<int> limit);

// The two output gains of a pan position, e.g. "Left +3 dB, right silent".
std::string stereoPanGainsText(int32_t stereoPan);
