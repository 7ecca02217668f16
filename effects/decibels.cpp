#include "effects/decibels.h"

#include <cmath>

namespace {

DecibelTable buildTable(double decibelsPerDecade) {
  DecibelTable table{};
  for (int decibels = -126; decibels <= kMaxDecibels; ++decibels) {
    double value = std::pow(10.0, decibels / decibelsPerDecade) * kUnityGain + 0.5;
    table[decibels + 128] = value >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(value);
  }
  return table;  // entries for -128 and -127 stay 0: silence
}

}  // namespace

const DecibelTable& DecibelGainTable() {
  static const DecibelTable table = buildTable(20.0);
  return table;
}

const DecibelTable& DecibelPowerTable() {
  static const DecibelTable table = buildTable(10.0);
  return table;
}

int32_t decibelGain(int decibels) { return DecibelGainTable()[clampDecibels(decibels) + 128]; }

int32_t decibelPower(int decibels) { return DecibelPowerTable()[clampDecibels(decibels) + 128]; }

int gainToDecibels(int64_t gain) {
  if (gain <= 0) return kSilenceDecibels;
  double decibels = 20.0 * std::log10(static_cast<double>(gain) / kUnityGain);
  decibels += gain >= kUnityGain ? 0.5 : -0.5;
  // Clamped before the conversion so that no value is out of int's range.
  return clampDecibels(static_cast<long long>(std::trunc(std::fmax(-1000.0, std::fmin(1000.0, decibels)))));
}
