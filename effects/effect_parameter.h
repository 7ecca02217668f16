#pragma once
// One stored value of an effect in one record: the settings section and key
// it is kept under, its default, the range the effect takes, and the range
// its stored type holds. Reading and writing the settings, the dialogs'
// checks and the batch converter all use the same record.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sys/settings_store.h"

constexpr const char* kEffectValuesSection = "StoredValues";
constexpr const char* kCrossFadeSection = "CrossFade";
constexpr const char* kEffectSettingsSection = "Settings";

constexpr int32_t kInt16Low = -32768, kInt16High = 32767;
constexpr int32_t kInt8Low = -128, kInt8High = 127;
constexpr int32_t kInt32Low = INT32_MIN, kInt32High = INT32_MAX;

struct EffectParameter {
  const char* section;
  const char* key;
  int32_t defaultValue;
  // What the effect takes: its dialog refuses (or raises) anything outside.
  int32_t minimum;
  int32_t maximum;
  // What the stored value's type holds. Reading keeps a value in here and
  // no further, so that the dialog shows what was stored and says why it is
  // refused, rather than silently changing it.
  int32_t storedLow;
  int32_t storedHigh;
  // Values kept as decimal text ("0.5") are held as whole multiples of
  // 1/textScale; 0 for values kept as whole numbers.
  int32_t textScale = 0;

  constexpr bool accepts(long long value) const { return value >= minimum && value <= maximum; }
};

// The stored value: its default when missing, empty or not a number, and
// kept within its stored range.
inline int32_t readEffectParameter(const sys::SettingsStore& store, const EffectParameter& parameter) {
  long long value = parameter.defaultValue;
  if (parameter.textScale > 0) {
    const std::string text = store.read(parameter.section, parameter.key, "");
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (!text.empty() && end && *end == '\0' && std::isfinite(number) && std::fabs(number) < 1e15)
      value = std::llround(number * parameter.textScale);
  } else {
    value = store.readNumber(parameter.section, parameter.key, parameter.defaultValue);
  }
  return value < parameter.storedLow    ? parameter.storedLow
         : value > parameter.storedHigh ? parameter.storedHigh
                                        : static_cast<int32_t>(value);
}

// A decimal value as its text: at least one decimal, no trailing zeros
// beyond it ("0.5", "1.0", "0.25").
inline std::string effectParameterText(const EffectParameter& parameter, int32_t value) {
  if (parameter.textScale <= 0) return std::to_string(value);
  char text[48];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value) / parameter.textScale);
  std::string result = text;
  while (result.size() > 1 && result.back() == '0' && result[result.size() - 2] != '.') result.pop_back();
  return result;
}

inline void writeEffectParameter(sys::SettingsStore& store, const EffectParameter& parameter, int32_t value) {
  if (parameter.textScale > 0)
    store.write(parameter.section, parameter.key, effectParameterText(parameter, value));
  else
    store.writeNumber(parameter.section, parameter.key, value);
}
