#include "editor/model/effect_forms.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "editor/command_ids.h"
#include "effects/delay_filter_effects.h"

namespace {

constexpr long long kNoLimit = LLONG_MAX, kNoFloor = LLONG_MIN;

constexpr EffectPreset kEchoPresets[] = {
    {"Living Room", {50, 10}},
    {"Cave", {400, 40}},
    {"Grand Canyon", {750, 75}},
};
constexpr EffectPreset kReverbPresets[] = {
    {"Living Room", {25, 50}},
    {"Bathroom", {50, 250}},
    {"Auditorium", {75, 500}},
    {"Hangar", {100, 1000}},
};
constexpr EffectPreset kHighPassPresets[] = {
    {"General Audio Cleanup", {200}},
    {"Radio / Telephone Quality Audio", {4000}},
};
constexpr EffectPreset kPhaserPresets[] = {
    {"Strong", {3, 100}},
    {"Medium", {5, 50}},
    {"Soft", {7, 50}},
};
// Time, modulation (thousandths of a Hz), depth, gain.
constexpr EffectPreset kFlangerPresets[] = {
    {"Strong", {5, 500, 70, 100}},
    {"Medium", {5, 500, 70, 90}},
    {"Soft", {5, 500, 70, 50}},
};
constexpr EffectPreset kChorusPresets[] = {
    {"Strong - Short Delay", {40, 500, 5, 80}},
    {"Strong - Long Delay", {65, 500, 5, 80}},
    {"Soft - Short Delay", {40, 500, 5, 50}},
    {"Soft - Long Delay", {65, 500, 5, 50}},
};
// Degree (thousandths), level (dB).
constexpr EffectPreset kDistortionPresets[] = {
    {"Clip", {1000, -8}},
    {"Heavy", {600, -8}},
    {"Medium", {300, -8}},
    {"Light", {100, -8}},
};

constexpr EffectFormField kEchoFields[] = {{101, "Echo &Time (ms) :", &kEchoTimeValue},
                                          {102, "Echo &Gain (%) :", &kEchoGainValue}};
constexpr EffectFormRule kEchoRules[] = {
    {0, 10, 3000, "Echo time must be between 10 and 3000ms. Please try again."},
    {1, kNoFloor, 99, "Echo Gain must be less than 100%. Please try again."},
    {1, 0, kNoLimit, "Echo Gain cannot be negative. Please try again."},
};

constexpr EffectFormField kReverbFields[] = {{101, "Reverb &Level (0 - 100):", &kReverbLevelValue},
                                            {102, "Reverb &Time (50 - 1000 ms):", &kReverbTimeValue}};
constexpr EffectFormRule kReverbRules[] = {
    {0, kNoFloor, 100, "Reverb level must be less than 100. Please try again."},
    {0, 0, kNoLimit, "Reverb level cannot be negative. Please try again."},
    {1, 50, 1000, "Reverb time must be between 50 and 1000. Please try again."},
};

constexpr EffectFormField kHighPassFields[] = {{101, "Frequency (Hz) :", &kLowCutFreqValue}};
constexpr EffectFormRule kHighPassRules[] = {
    {0, kLowCutFreqValue.minimum, kLowCutFreqValue.maximum,
     "Frequency must be a whole number of Hz from 1 to 100000. Please try again."},
};

constexpr const char* kPhaserFlangerTime = "Delay Time must be between 0 and 10 milliseconds";
constexpr const char* kGainPercent = "Gain percent must be between 0 and 100.";

constexpr EffectFormField kPhaserFields[] = {{101, "Delay &Time (ms):", &kPhaserTimeValue},
                                            {102, "&Gain (%):", &kPhaserGainValue}};
constexpr EffectFormRule kPhaserRules[] = {
    {0, 0, 10, kPhaserFlangerTime},
    {1, 0, 100, kGainPercent},
};

constexpr EffectFormField kFlangerFields[] = {{101, "Delay &Time (ms):", &kFlangerTimeValue},
                                             {102, "&Modulation (Hz):", &kFlangerModValue},
                                             {103, "&Depth (%):", &kFlangerDepthValue},
                                             {104, "&Gain (%):", &kFlangerGainValue}};
constexpr EffectFormRule kFlangerRules[] = {
    {0, 0, 10, kPhaserFlangerTime},
    {1, 0, 5000, "Modulation (of delay) must be between 0 and 5Hz."},
    {2, 0, 100, "Depth percent must be between 0 and 100."},
    {3, 0, 100, kGainPercent},
};

constexpr EffectFormField kChorusFields[] = {{101, "Delay &Time (ms):", &kChorusTimeValue},
                                            {102, "&Modulation (Hz):", &kChorusModValue},
                                            {103, "&Depth (%):", &kChorusDepthValue},
                                            {104, "&Gain (%):", &kChorusGainValue}};
constexpr EffectFormRule kChorusRules[] = {
    {0, 10, 100, "Delay Time must be between 10 and 100 milliseconds"},
    {1, 0, 2000, "Modulation (of delay) must be between 0 and 2Hz."},
    {2, 0, 30, "Depth percent must be between 0 and 30."},
    {3, 0, 100, kGainPercent},
};

constexpr EffectFormField kDistortionFields[] = {{101, "Degree of Distortion", &kDistortionDegreeValue},
                                                {102, "Top Line Level", &kDistortionLevelValue}};
constexpr EffectFormRule kDistortionRules[] = {
    // The wording is the message users know.
    {0, 0, 1000, "Delay Time must be between 0.0 and 1.0 milliseconds"},
    {1, -127, 127, "Top Line Level must be between -127 and 127 dB. Please try again."},
};

const EffectForm kForms[] = {
    {cmd::Echo, kEchoFields, kEchoRules},
    {cmd::Reverb, kReverbFields, kReverbRules},
    {cmd::HighPass, kHighPassFields, kHighPassRules},
    {cmd::Phaser, kPhaserFields, kPhaserRules},
    {cmd::Flanger, kFlangerFields, kFlangerRules},
    {cmd::Chorus, kChorusFields, kChorusRules},
    {cmd::Distortion, kDistortionFields, kDistortionRules},
};

}  // namespace

std::span<const EffectPreset> echoPresets() { return kEchoPresets; }
std::span<const EffectPreset> reverbPresets() { return kReverbPresets; }
std::span<const EffectPreset> highPassPresets() { return kHighPassPresets; }
std::span<const EffectPreset> phaserPresets() { return kPhaserPresets; }
std::span<const EffectPreset> flangerPresets() { return kFlangerPresets; }
std::span<const EffectPreset> chorusPresets() { return kChorusPresets; }
std::span<const EffectPreset> distortionPresets() { return kDistortionPresets; }

std::span<const EffectForm> effectForms() { return kForms; }

const EffectForm* findEffectForm(int command) {
  for (const EffectForm& form : kForms)
    if (form.command == command) return &form;
  return nullptr;
}

std::optional<int32_t> parseFieldValue(const EffectParameter& value, const std::string& text) {
  const char* begin = text.c_str();
  while (*begin == ' ') ++begin;
  if (!*begin) return std::nullopt;
  char* end = nullptr;
  long double number = 0;
  if (value.textScale > 0) {
    const double decimal = std::strtod(begin, &end);
    if (!std::isfinite(decimal) || std::fabs(decimal * value.textScale) > 4e9) return std::nullopt;
    number = std::llround(decimal * value.textScale);
  } else {
    number = std::strtoll(begin, &end, 10);
  }
  while (end && *end == ' ') ++end;
  if (!end || *end || number < INT32_MIN || number > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(number);
}

std::string fieldText(const EffectParameter& value, int32_t number) { return effectParameterText(value, number); }

EffectFormCheck checkEffectForm(const EffectForm& form, const FieldValues& values) {
  for (const EffectFormRule& rule : form.rules) {
    const std::optional<int32_t>& value = values[static_cast<size_t>(rule.field)];
    if (!value || *value < rule.low || *value > rule.high) return {rule.field, rule.message};
  }
  return {};
}

EffectValues clampEffectForm(const EffectForm& form, const FieldValues& values) {
  EffectValues clamped{};
  for (size_t i = 0; i < form.fields.size(); ++i) {
    const EffectParameter& record = *form.fields[i].value;
    clamped[i] = values[i] ? clampTo(*values[i], record.minimum, record.maximum) : record.defaultValue;
  }
  return clamped;
}
