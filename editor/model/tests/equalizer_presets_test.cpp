#include <gtest/gtest.h>

#include <cmath>

#include "editor/model/equalizer_presets.h"
#include "effects/delay_filter_effects.h"

namespace {

const EqualizerPresetInfo& kindNamed(const std::string& name) {
  for (const EqualizerPresetInfo& kind : equalizerPresetKinds())
    if (name == kind.name) return kind;
  ADD_FAILURE() << name;
  return equalizerPresetKinds().front();
}

// The table's level at a frequency, at 44,100 Hz.
int levelAt(const EqualizerTable& table, double hz) { return table[static_cast<size_t>(hz * 2 / 44100 * 2048)]; }

TEST(EqualizerPresets, SixKindsInTheListsOrderEachWithItsSettings) {
  const char* names[] = {"Boost/Cut", "LowPass", "HighPass", "BandPass", "BandStop", "Notch"};
  ASSERT_EQ(equalizerPresetKinds().size(), 6u);
  for (int row = 1; row <= 6; ++row) EXPECT_STREQ(equalizerPresetAtRow(row)->name, names[row - 1]);
  EXPECT_EQ(equalizerPresetAtRow(0), nullptr);
  EXPECT_EQ(equalizerPresetAtRow(7), nullptr);
  EXPECT_STREQ(kindNamed("BandPass").settingsTitle, "Bandpass Settings ");
  EXPECT_STREQ(kindNamed("HighPass").settingsTitle, "HighPass Settings ");

  auto store = sys::makeMemorySettingsStore();
  const EqualizerPresetInfo& band = kindNamed("BandPass");
  EXPECT_EQ(readEqualizerSettings(*store, band).StartFreq, defaultEqualizerSettings(band).StartFreq);
  writeEqualizerSettings(*store, band, {500, 2500, 0, 100, 120});
  const EqualizerPresetSettings read = readEqualizerSettings(*store, band);
  EXPECT_EQ(read.StartFreq, 500);
  EXPECT_EQ(read.EndFreq, 2500);
  EXPECT_EQ(read.Amplitude, 120);
  EXPECT_EQ(store->read("EQBandPass", "Slope", ""), "100");
  // Every kind's defaults pass its own checks.
  for (const EqualizerPresetInfo& kind : equalizerPresetKinds()) {
    const EqualizerPresetSettings s = defaultEqualizerSettings(kind);
    EXPECT_EQ(equalizerSettingsProblem(kind, s.StartFreq, s.EndFreq, s.Freq, s.Slope, s.Amplitude), nullptr)
        << kind.name;
  }
  EXPECT_NE(equalizerSettingsProblem(band, 3000, 300, 0, 100, 100), nullptr);
  EXPECT_NE(equalizerSettingsProblem(band, 300, 30000, 0, 100, 100), nullptr);
  EXPECT_NE(equalizerSettingsProblem(band, 300, 3000, 0, 100, 200), nullptr);
  EXPECT_NE(equalizerSettingsProblem(kindNamed("Notch"), 0, 0, std::nullopt, 100, 0), nullptr);
}

TEST(EqualizerPresets, CurvesPassCutAndBoostWhereTheirSettingsSay) {
  auto tableOf = [](const char* name, EqualizerPresetSettings s) {
    const EnvelopeCurve curve = equalizerPresetCurve(kindNamed(name), s);
    for (size_t i = 1; i < curve.points.size(); ++i) EXPECT_LE(curve.points[i - 1].position, curve.points[i].position);
    EXPECT_EQ(curve.points.front().position, 0);
    EXPECT_EQ(curve.points.back().position, 255);
    return equalizerTable(curve, 44100);
  };
  const EqualizerTable bandPass = tableOf("BandPass", {500, 3000, 0, 200, 100});
  EXPECT_EQ(levelAt(bandPass, 100), 0);
  EXPECT_EQ(levelAt(bandPass, 1000), 128);
  EXPECT_EQ(levelAt(bandPass, 8000), 0);
  const EqualizerTable lowPass = tableOf("LowPass", {0, 0, 2000, 500, 100});
  EXPECT_EQ(levelAt(lowPass, 50), 128);
  EXPECT_EQ(levelAt(lowPass, 1900), 128);
  EXPECT_EQ(levelAt(lowPass, 3000), 0);
  const EqualizerTable highPass = tableOf("HighPass", {0, 0, 2000, 500, 100});
  EXPECT_EQ(levelAt(highPass, 1000), 0);
  EXPECT_EQ(levelAt(highPass, 15000), 128);
  const EqualizerTable boost = tableOf("Boost/Cut", {1000, 4000, 0, 500, 150});
  EXPECT_EQ(levelAt(boost, 200), 128);
  EXPECT_EQ(levelAt(boost, 2000), 192);
  const EqualizerTable notch = tableOf("Notch", {0, 0, 1000, 300, 0});
  EXPECT_EQ(levelAt(notch, 300), 128);
  EXPECT_LT(levelAt(notch, 1000), 20);
  EXPECT_EQ(levelAt(notch, 3000), 128);
}

TEST(EqualizerPresets, PointsReadAsFrequencyPercentAndDecibels) {
  EXPECT_EQ(equalizerPointText(0, 128), "0Hz, 100% (+0.0 dB)");
  EXPECT_EQ(equalizerPointText(255, 255), "20000Hz, 199% (+6.0 dB)");
  EXPECT_EQ(equalizerPointText(128, 64), std::to_string(std::lround(equalizerFrequency(128))) + "Hz, 50% (-6.0 dB)");
  EXPECT_EQ(equalizerPointText(10, 0), std::to_string(std::lround(equalizerFrequency(10))) + "Hz, 0% (silent)");
}

}  // namespace
