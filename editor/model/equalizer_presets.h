#pragma once
// The equalizer's preset kinds, apart from any window: each builds a curve
// from a few stored settings (band edges or one frequency, the slope's
// width and the amplitude), and the curve window reads a point as
// "1000Hz, 150% (+3.5 dB)".

#include <optional>
#include <span>
#include <string>

#include "effects/amplitude_effects.h"
#include "sys/settings_store.h"

enum class EqualizerPresetKind { BoostCut = 1, LowPass, HighPass, BandPass, BandStop, Notch };

struct EqualizerPresetInfo {
  EqualizerPresetKind kind;
  const char* name;          // the preset list's row
  const char* section;       // where its settings are stored
  bool band;                 // StartFreq and EndFreq; otherwise Freq
  const char* settingsTitle;
  const char* frequencyLabel;  // Freq's label, for the single-frequency kinds
};
std::span<const EqualizerPresetInfo> equalizerPresetKinds();
// The kind of a preset list row (row 0 is "Select Preset"), or null.
const EqualizerPresetInfo* equalizerPresetAtRow(int row);

struct EqualizerPresetSettings {
  int StartFreq = 0, EndFreq = 0;  // Hz, band kinds
  int Freq = 0;                    // Hz, single-frequency kinds
  int Slope = 0;                   // Hz over which the level changes
  int Amplitude = 0;               // percent inside the band (or passed)
};
EqualizerPresetSettings defaultEqualizerSettings(const EqualizerPresetInfo& kind);
EqualizerPresetSettings readEqualizerSettings(const sys::SettingsStore& store, const EqualizerPresetInfo& kind);
void writeEqualizerSettings(sys::SettingsStore& store, const EqualizerPresetInfo& kind,
                            const EqualizerPresetSettings& settings);
// Null when the settings are usable, else the message to show.
const char* equalizerSettingsProblem(const EqualizerPresetInfo& kind, std::optional<int> start,
                                     std::optional<int> end, std::optional<int> frequency, std::optional<int> slope,
                                     std::optional<int> amplitude);
EnvelopeCurve equalizerPresetCurve(const EqualizerPresetInfo& kind, const EqualizerPresetSettings& settings);

// "%dHz, %d%% (%s)": the point's frequency, its level in percent and in dB.
std::string equalizerPointText(int position, int level);

constexpr const char* kEqualizerNeedsPreset = "Please select a preset first before opening the Settings window.";
// Where the settings window was last, in the "StoredValues" section.
constexpr const char* kEqWindowX = "EQWindowX";
constexpr const char* kEqWindowY = "EQWindowY";
