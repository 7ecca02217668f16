#pragma once
// Reading one stored effect parameter: its default when missing, empty or not
// a number, and kept within the range its type holds.

#include <cstdint>
#include <string>

#include "core/sample.h"
#include "sys/settings_store.h"

inline int32_t readStoredValue(const sys::SettingsStore& store, const std::string& section, const std::string& name,
                               int32_t fallback, int32_t low, int32_t high) {
  long long value = store.readNumber(section, name, fallback);
  return value < low ? low : value > high ? high : static_cast<int32_t>(value);
}

constexpr int32_t kInt16Low = -32768, kInt16High = 32767;
constexpr int32_t kInt8Low = -128, kInt8High = 127;
