#include "editor/model/effect_presets.h"

#include <cstdio>

namespace {

constexpr EffectPreset kAmplifyPresets[] = {
    {"Quarter Volume", {25}},
    {"Half Volume", {50}},
    {"Double Volume", {200}},
    {"Triple Volume", {300}},
};

constexpr EffectPreset kNormalizePresets[] = {
    {"Very Soft Audio Level", {20}},
    {"Soft Audio Level", {40}},
    {"Normal Audio Level", {75}},
    {"Maximum Audio Level", {100}},
};

// Threshold, ratio, limit; ratios by their place in the compressor's ratio
// list: 1 is "3:2", 2 "2:1".
constexpr EffectPreset kCompressorPresets[] = {
    {"General Voice Level", {-10, 1, 4}},
    {"TV / Radio Advertisement", {-6, 2, 3}},
};

// Decibels of the gain table at or below this are silence.
constexpr int kSilentDecibels = -127;

// The gain of one side of a pan, in decibels of the effect's table.
std::string sideText(const char* side, int decibels) {
  if (decibels <= kSilentDecibels) return std::string(side) + " silent";
  char text[32];
  std::snprintf(text, sizeof text, "%s %+d dB", side, decibels);
  return text;
}

bool accepted(const EffectParameter& parameter, std::optional<int> value) {
  return value && parameter.accepts(*value);
}

}  // namespace

std::span<const EffectPreset> amplifyPresets() { return kAmplifyPresets; }
std::span<const EffectPreset> normalizePresets() { return kNormalizePresets; }
std::span<const EffectPreset> compressorPresets() { return kCompressorPresets; }

CompressorParams compressorParamsOf(const EffectValues& values) { return {values[0], values[1], values[2]}; }

int compressorRatioIndex(const std::string& name) {
  for (int i = 0; i < kCompressorRatioCount; ++i)
    if (name == kCompressorRatios[i].name) return i;
  return -1;
}

const char* amplifyGainProblem(std::optional<int> percent) {
  if (!percent) return "Please enter the Amplify Gain as a whole number of percent.";
  if (*percent > kAmplifyGainValue.maximum) return "Amplify Gain must be less than 400%. Please try again.";
  if (*percent < kAmplifyGainValue.minimum) return "Amplify Gain must be at least -400%. Please try again.";
  return nullptr;
}

const char* normalizePeakLevelProblem(std::optional<int> percent) {
  if (!percent) return "Please enter the Peak Level as a whole number of percent.";
  // The misspelling is the message users know.
  if (*percent > kNormalizePeakLevelValue.maximum)
    return "Normailze Peak Level must be less than 100%. Please try again.";
  if (*percent < kNormalizePeakLevelValue.minimum) return "Normalize Peak Level cannot be negative. Please try again.";
  return nullptr;
}

CompressorCheck checkCompressorValues(std::optional<int> threshold, int ratio, std::optional<int> limit) {
  if (!accepted(kCompressorThresholdValue, threshold))
    return {CompressorField::Threshold, "Threshold must be a whole number of dB from -127 to 127. Please try again."};
  if (!kCompressorRatioValue.accepts(ratio)) return {CompressorField::Ratio, "Please select a Ratio."};
  if (!accepted(kCompressorLimitValue, limit))
    return {CompressorField::Limit,
            "Limit must be a whole number of dB from -127 to 127 (127 for no limit). Please try again."};
  return {};
}

std::string stereoPanGainsText(int32_t stereoPan) {
  const ChannelMatrix matrix = stereoPanMatrix(stereoPan);
  return sideText("Left", matrix.rows[0][0]) + ", " + sideText("right", matrix.rows[1][1]);
}
