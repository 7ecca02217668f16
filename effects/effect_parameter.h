#pragma once
// One stored value of an effect in one record: the settings section and key
// it is kept under, its default, the range the effect takes, and the range
// its stored type holds. Reading and writing the settings, the dialogs'
// checks and the batch converter all use the same record.

#include <cstdint>
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

  constexpr bool accepts(long long value) const { return value >= minimum && value <= maximum; }
};

// The stored value: its default when missing, empty or not a number, and
// kept within its stored range.
inline int32_t readEffectParameter(const sys::SettingsStore& store, const EffectParameter& parameter) {
  long long value = store.readNumber(parameter.section, parameter.key, parameter.defaultValue);
  return value < parameter.storedLow    ? parameter.storedLow
         : value > parameter.storedHigh ? parameter.storedHigh
                                        : static_cast<int32_t>(value);
}

inline void writeEffectParameter(sys::SettingsStore& store, const EffectParameter& parameter, int32_t value) {
  store.writeNumber(parameter.section, parameter.key, value);
}
