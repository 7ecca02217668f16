#include "editor/model/effect_presets.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Rows = std::vector<std::pair<std::string, int>>;

Rows rowsOf(std::span<const EffectPreset> presets) {
  Rows rows;
  for (int row = 0; row <= static_cast<int>(presets.size()) + 1; ++row) {
    const EffectPreset* preset = presetAtRow(presets, row);
    rows.emplace_back(preset ? preset->name : "-", preset ? preset->values[0] : 0);
  }
  return rows;
}

TEST(EffectPresets, PercentPresetsBehindTheSelectPresetRow) {
  EXPECT_EQ(rowsOf(amplifyPresets()), (Rows{{"-", 0},
                                            {"Quarter Volume", 25},
                                            {"Half Volume", 50},
                                            {"Double Volume", 200},
                                            {"Triple Volume", 300},
                                            {"-", 0}}));
  EXPECT_EQ(rowsOf(normalizePresets()), (Rows{{"-", 0},
                                              {"Very Soft Audio Level", 20},
                                              {"Soft Audio Level", 40},
                                              {"Normal Audio Level", 75},
                                              {"Maximum Audio Level", 100},
                                              {"-", 0}}));
  EXPECT_EQ(presetAtRow(amplifyPresets(), -1), nullptr);
  // Every preset passes its own dialog's check.
  for (const auto& preset : amplifyPresets()) EXPECT_EQ(amplifyGainProblem(preset.values[0]), nullptr);
  for (const auto& preset : normalizePresets()) EXPECT_EQ(normalizePeakLevelProblem(preset.values[0]), nullptr);
}

TEST(EffectPresets, CompressorPresetsNameListedRatios) {
  const auto presets = compressorPresets();
  ASSERT_EQ(presets.size(), 2u);
  EXPECT_EQ(presetAtRow(presets, 0), nullptr);
  const EffectPreset* voice = presetAtRow(presets, 1);
  const EffectPreset* advert = presetAtRow(presets, 2);
  ASSERT_TRUE(voice && advert);
  EXPECT_STREQ(voice->name, "General Voice Level");
  EXPECT_EQ(compressorParamsOf(voice->values).CompressorThreshold, -10);
  EXPECT_EQ(compressorParamsOf(voice->values).CompressorRatio, compressorRatioIndex("3:2"));
  EXPECT_EQ(compressorParamsOf(voice->values).CompressorLimit, 4);
  EXPECT_STREQ(advert->name, "TV / Radio Advertisement");
  EXPECT_EQ(compressorParamsOf(advert->values).CompressorThreshold, -6);
  EXPECT_EQ(compressorParamsOf(advert->values).CompressorRatio, compressorRatioIndex("2:1"));
  EXPECT_EQ(compressorParamsOf(advert->values).CompressorLimit, 3);
  EXPECT_EQ(presetAtRow(presets, 3), nullptr);

  const char* names[] = {"1:1", "3:2", "2:1", "3:1", "4:1", "5:1", "Limit"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(compressorRatioIndex(names[i]), i) << names[i];
  EXPECT_EQ(compressorRatioIndex("6:1"), -1);
  EXPECT_EQ(compressorRatioIndex(""), -1);
  for (const auto& preset : presets) {
    const CompressorParams p = compressorParamsOf(preset.values);
    EXPECT_EQ(checkCompressorValues(p.CompressorThreshold, p.CompressorRatio, p.CompressorLimit).message, nullptr);
  }
}

TEST(EffectPresets, AmplifyAndNormalizeChecksAtTheirBounds) {
  const char* tooLoud = "Amplify Gain must be less than 400%. Please try again.";
  const char* tooLow = "Amplify Gain must be at least -400%. Please try again.";
  const char* notNumber = "Please enter the Amplify Gain as a whole number of percent.";
  const struct {
    std::optional<int> value;
    const char* message;
  } amplify[] = {{400, nullptr}, {401, tooLoud}, {100, nullptr}, {0, nullptr},        {-400, nullptr},
                 {-401, tooLow}, {1 << 30, tooLoud}, {std::nullopt, notNumber}},
    normalize[] = {{100, nullptr},
                   {101, "Normailze Peak Level must be less than 100%. Please try again."},
                   {0, nullptr},
                   {-1, "Normalize Peak Level cannot be negative. Please try again."},
                   {std::nullopt, "Please enter the Peak Level as a whole number of percent."}};
  for (const auto& c : amplify) {
    const char* message = amplifyGainProblem(c.value);
    EXPECT_TRUE(message == c.message || (message && c.message && std::strcmp(message, c.message) == 0))
        << c.value.value_or(-99999) << ": " << (message ? message : "accepted");
  }
  for (const auto& c : normalize) {
    const char* message = normalizePeakLevelProblem(c.value);
    EXPECT_TRUE(message == c.message || (message && c.message && std::strcmp(message, c.message) == 0))
        << c.value.value_or(-99999) << ": " << (message ? message : "accepted");
  }
}

TEST(EffectPresets, CompressorChecksNameTheFieldToCorrect) {
  const struct {
    std::optional<int> threshold;
    int ratio;
    std::optional<int> limit;
    CompressorField field;
  } cases[] = {
      {0, 0, 0, CompressorField::None},          {-127, 6, 127, CompressorField::None},
      {127, 3, -127, CompressorField::None},     {-128, 0, 0, CompressorField::Threshold},
      {128, 0, 0, CompressorField::Threshold},   {std::nullopt, 0, 0, CompressorField::Threshold},
      {0, -1, 0, CompressorField::Ratio},        {0, 7, 0, CompressorField::Ratio},
      {0, 0, 128, CompressorField::Limit},       {0, 0, std::nullopt, CompressorField::Limit},
      {999, -1, std::nullopt, CompressorField::Threshold},  // the first wrong field
  };
  for (const auto& c : cases) {
    const CompressorCheck check = checkCompressorValues(c.threshold, c.ratio, c.limit);
    EXPECT_EQ(check.field, c.field) << c.threshold.value_or(-999) << " " << c.ratio << " " << c.limit.value_or(-999);
    EXPECT_EQ(check.message == nullptr, c.field == CompressorField::None);
  }
}

TEST(EffectPresets, StereoPanGainsInWords) {
  // sqrt(2) is +3 dB; the far side of a full pan is silent.
  EXPECT_EQ(stereoPanGainsText(0), "Left +3 dB, right silent");
  EXPECT_EQ(stereoPanGainsText(50), "Left +0 dB, right +0 dB");
  EXPECT_EQ(stereoPanGainsText(100), "Left silent, right +3 dB");
  // 25: left sqrt(1.5) = +1.8 dB, right sqrt(0.5) = -3 dB.
  EXPECT_EQ(stereoPanGainsText(25), "Left +2 dB, right -3 dB");
}

}  // namespace
