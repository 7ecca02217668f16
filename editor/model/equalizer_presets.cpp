#include "editor/model/equalizer_presets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "effects/delay_filter_effects.h"

namespace {

constexpr int kTopFrequency = 20000;
constexpr int kMaxAmplitude = 199;  // level 255

const EqualizerPresetInfo kKinds[] = {
    {EqualizerPresetKind::BoostCut, "Boost/Cut", "EQBoostCut", true, "Boost/Cut Settings ", nullptr},
    {EqualizerPresetKind::LowPass, "LowPass", "EQLowPass", false, "LowPass Settings ", "Pass Frequency (Hz)"},
    {EqualizerPresetKind::HighPass, "HighPass", "EQHighPass", false, "HighPass Settings ", "Pass Frequency (Hz)"},
    {EqualizerPresetKind::BandPass, "BandPass", "EQBandPass", true, "Bandpass Settings ", nullptr},
    {EqualizerPresetKind::BandStop, "BandStop", "EQBandStop", true, "Bandstop Settings ", nullptr},
    {EqualizerPresetKind::Notch, "Notch", "EQNotch", false, "Notch Settings ", "Notch Frequency (Hz)"},
};

uint8_t positionOf(long long frequency) {
  return static_cast<uint8_t>(std::clamp<long long>(std::lround(equalizerPosition(static_cast<double>(
                                                        std::clamp<long long>(frequency, 0, kTopFrequency)))),
                                                    0, 255));
}

uint8_t levelOf(int percent) {
  return static_cast<uint8_t>(std::clamp<long long>(std::lround(std::clamp(percent, 0, kMaxAmplitude) * 1.28), 0, 255));
}

// level `inside` from low to high, `outside` elsewhere, with slopes of
// `slope` Hz outside the edges; an edge at 0 Hz or the top has no slope.
EnvelopeCurve bandCurve(long long low, long long high, long long slope, uint8_t inside, uint8_t outside) {
  EnvelopeCurve curve;
  auto add = [&](uint8_t position, uint8_t level) {
    if (!curve.points.empty()) position = std::max(position, curve.points.back().position);
    curve.points.push_back({position, level});
  };
  add(0, low <= 0 ? inside : outside);
  if (low > 0) {
    add(positionOf(low - slope), outside);
    add(positionOf(low), inside);
  }
  if (high < kTopFrequency) {
    add(positionOf(high), inside);
    add(positionOf(high + slope), outside);
  }
  add(255, high >= kTopFrequency ? inside : outside);
  return curve;
}

}  // namespace

std::span<const EqualizerPresetInfo> equalizerPresetKinds() { return kKinds; }

const EqualizerPresetInfo* equalizerPresetAtRow(int row) {
  return row >= 1 && row <= static_cast<int>(std::size(kKinds)) ? &kKinds[row - 1] : nullptr;
}

EqualizerPresetSettings defaultEqualizerSettings(const EqualizerPresetInfo& kind) {
  switch (kind.kind) {
    case EqualizerPresetKind::BoostCut: return {1000, 4000, 0, 500, 150};
    case EqualizerPresetKind::LowPass: return {0, 0, 3000, 1000, 100};
    case EqualizerPresetKind::HighPass: return {0, 0, 300, 200, 100};
    case EqualizerPresetKind::BandPass: return {300, 3000, 0, 200, 100};
    case EqualizerPresetKind::BandStop: return {1000, 4000, 0, 200, 0};
    case EqualizerPresetKind::Notch: return {0, 0, 1000, 200, 0};
  }
  return {};
}

EqualizerPresetSettings readEqualizerSettings(const sys::SettingsStore& store, const EqualizerPresetInfo& kind) {
  EqualizerPresetSettings s = defaultEqualizerSettings(kind);
  auto read = [&](const char* name, int& value) {
    value = static_cast<int>(std::clamp<long long>(store.readNumber(kind.section, name, value), -1, 1000000));
  };
  if (kind.band) {
    read("StartFreq", s.StartFreq);
    read("EndFreq", s.EndFreq);
  } else {
    read("Freq", s.Freq);
  }
  read("Slope", s.Slope);
  read("Amplitude", s.Amplitude);
  return s;
}

void writeEqualizerSettings(sys::SettingsStore& store, const EqualizerPresetInfo& kind,
                            const EqualizerPresetSettings& settings) {
  if (kind.band) {
    store.writeNumber(kind.section, "StartFreq", settings.StartFreq);
    store.writeNumber(kind.section, "EndFreq", settings.EndFreq);
  } else {
    store.writeNumber(kind.section, "Freq", settings.Freq);
  }
  store.writeNumber(kind.section, "Slope", settings.Slope);
  store.writeNumber(kind.section, "Amplitude", settings.Amplitude);
}

const char* equalizerSettingsProblem(const EqualizerPresetInfo& kind, std::optional<int> start,
                                     std::optional<int> end, std::optional<int> frequency, std::optional<int> slope,
                                     std::optional<int> amplitude) {
  auto inBand = [](std::optional<int> hz) { return hz && *hz >= 0 && *hz <= kTopFrequency; };
  if (kind.band) {
    if (!inBand(start) || !inBand(end)) return "Frequencies must be between 0 and 20000 Hz.";
    if (*start > *end) return "The start frequency must not be above the end frequency.";
  } else if (!inBand(frequency)) {
    return "Frequencies must be between 0 and 20000 Hz.";
  }
  if (!slope || *slope < 0 || *slope > kTopFrequency) return "Slope length must be between 0 and 20000 Hz.";
  if (!amplitude || *amplitude < 0 || *amplitude > kMaxAmplitude) return "Amplitude must be between 0 and 199%.";
  return nullptr;
}

EnvelopeCurve equalizerPresetCurve(const EqualizerPresetInfo& kind, const EqualizerPresetSettings& s) {
  const uint8_t amplitude = levelOf(s.Amplitude), unity = 128, silence = 0;
  switch (kind.kind) {
    case EqualizerPresetKind::BoostCut: return bandCurve(s.StartFreq, s.EndFreq, s.Slope, amplitude, unity);
    case EqualizerPresetKind::BandPass: return bandCurve(s.StartFreq, s.EndFreq, s.Slope, amplitude, silence);
    case EqualizerPresetKind::BandStop: return bandCurve(s.StartFreq, s.EndFreq, s.Slope, amplitude, unity);
    case EqualizerPresetKind::LowPass: return bandCurve(0, s.Freq, s.Slope, amplitude, silence);
    case EqualizerPresetKind::HighPass: return bandCurve(s.Freq, kTopFrequency, s.Slope, amplitude, silence);
    case EqualizerPresetKind::Notch: return bandCurve(s.Freq, s.Freq, s.Slope, amplitude, unity);
  }
  return flatEnvelope();
}

std::string equalizerPointText(int position, int level) {
  char decibels[24];
  if (level <= 0)
    std::snprintf(decibels, sizeof decibels, "silent");
  else
    std::snprintf(decibels, sizeof decibels, "%+.1f dB", 20 * std::log10(level / 128.0));
  char text[80];
  std::snprintf(text, sizeof text, "%dHz, %d%% (%s)", static_cast<int>(std::lround(equalizerFrequency(position))),
                static_cast<int>(std::lround(level * 100 / 128.0)), decibels);
  return text;
}
