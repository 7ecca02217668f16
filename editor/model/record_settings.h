#pragma once
// The record dialog's values: section "Recorder" (input device, line and
// volume, and how a recording starts and ends) and section "Player" (the
// dialog's playback device and volume), and what they make of a capture.

#include <cstdint>

#include "sys/settings_store.h"

// Threshold of the voice gate as the dialog lets it be edited.
constexpr int kThresholdLowestDb = -40;
constexpr int kThresholdHighestDb = -6;

struct RecordSettings {
  int device = 0;        // "Device": 0 "[Default Sound In]", n device n - 1
  int channel = 0;       // "Channel": the input line on the device's mixer
  int volume = 0;        // "Volume": record volume in dB
  bool autostart = true;  // "Autostart"
  bool autotrim = true;   // "Autotrim"
  bool vor = false;       // "Vor": voice-activated recording
  int threshold = -24;    // "Threshold", dB
  int playerDevice = 0;   // "Player" "Device"
  int playerVolumeDb = 0;  // "Player" "VolumeDB"

  static RecordSettings load(const sys::SettingsStore& store);
  void save(sys::SettingsStore& store) const;

  // The capture's trigger level: the threshold (a signed 8-bit dB) when
  // trimming, else the floor, so that everything is written.
  int triggerLevel() const;
  // Silence that closes the gate: 5 s with voice activation, else 60 hours.
  int64_t hangTimeMs() const;
};
