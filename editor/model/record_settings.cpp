#include "editor/model/record_settings.h"

#include <algorithm>

#include "editor/model/editor_settings.h"

namespace {

constexpr int64_t kVoiceHangMs = 5000;
constexpr int64_t kEndlessHangMs = 216000000;

}  // namespace

RecordSettings RecordSettings::load(const sys::SettingsStore& store) {
  RecordSettings s;
  auto number = [&](const char* section, const char* name, int fallback) {
    return static_cast<int>(store.readNumber(section, name, fallback));
  };
  s.device = std::max(number(kRecorderSection, "Device", 0), 0);
  s.channel = std::max(number(kRecorderSection, "Channel", 0), 0);
  s.volume = number(kRecorderSection, "Volume", 0);
  s.autostart = number(kRecorderSection, "Autostart", 1) != 0;
  s.autotrim = number(kRecorderSection, "Autotrim", 1) != 0;
  s.vor = number(kRecorderSection, "Vor", 0) != 0;
  s.threshold = number(kRecorderSection, "Threshold", -24);
  s.playerDevice = std::max(number(kPlayerSection, "Device", 0), 0);
  s.playerVolumeDb = number(kPlayerSection, "VolumeDB", 0);
  return s;
}

void RecordSettings::save(sys::SettingsStore& store) const {
  store.writeNumber(kRecorderSection, "Device", device);
  store.writeNumber(kRecorderSection, "Channel", channel);
  store.writeNumber(kRecorderSection, "Volume", volume);
  store.writeNumber(kRecorderSection, "Autostart", autostart ? 1 : 0);
  store.writeNumber(kRecorderSection, "Autotrim", autotrim ? 1 : 0);
  store.writeNumber(kRecorderSection, "Vor", vor ? 1 : 0);
  store.writeNumber(kRecorderSection, "Threshold", threshold);
  store.writeNumber(kPlayerSection, "Device", playerDevice);
  store.writeNumber(kPlayerSection, "VolumeDB", playerVolumeDb);
}

int RecordSettings::triggerLevel() const {
  return autotrim ? std::clamp(threshold, -127, 127) : -127;
}

int64_t RecordSettings::hangTimeMs() const { return vor ? kVoiceHangMs : kEndlessHangMs; }
