#pragma once
// The effects whose dialogs are a row of value fields with a preset list
// and a preview: what each field is, the checks OK makes in order (the
// first failing one is reported and the dialog stays open) and how Preview
// keeps every value in its range instead. Apart from any window.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "editor/model/effect_descriptor.h"

struct EffectFormField {
  int control;                   // the edit box
  const char* label;
  const EffectParameter* value;  // the stored value it shows
};

// Refuses field values outside low..high with the message.
struct EffectFormRule {
  int field;
  long long low, high;
  const char* message;
};

struct EffectForm {
  int command;
  std::span<const EffectFormField> fields;
  std::span<const EffectFormRule> rules;
};

// The form of an effect command; null for effects with another dialog.
const EffectForm* findEffectForm(int command);
std::span<const EffectForm> effectForms();

// A field's text as its value: a whole number, or for decimal values a
// number of thousandths; nothing for text that is neither.
std::optional<int32_t> parseFieldValue(const EffectParameter& value, const std::string& text);
// A value as a field shows it.
std::string fieldText(const EffectParameter& value, int32_t number);

using FieldValues = std::array<std::optional<int32_t>, kMaxEffectValues>;
struct EffectFormCheck {
  int field = -1;                  // the field to correct; -1 when all are accepted
  const char* message = nullptr;
};
EffectFormCheck checkEffectForm(const EffectForm& form, const FieldValues& values);
// Every value kept within its record's range (Preview); unreadable ones
// take the default.
EffectValues clampEffectForm(const EffectForm& form, const FieldValues& values);

// Presets of the delay and filter effects, values in the order of their
// stored values.
std::span<const EffectPreset> echoPresets();
std::span<const EffectPreset> reverbPresets();
std::span<const EffectPreset> highPassPresets();
std::span<const EffectPreset> phaserPresets();
std::span<const EffectPreset> flangerPresets();
std::span<const EffectPreset> chorusPresets();
std::span<const EffectPreset> distortionPresets();
