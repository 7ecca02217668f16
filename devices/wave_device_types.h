#pragma once
// What the wave-output and wave-input devices share: the PCM format they
// are opened with and the answers they give.

#include <cstdint>

namespace sys {
class Event;
}

// Device formats are always 16-bit PCM at the sound's rate and channels.
struct PcmFormat {
  int32_t sampleRate = 44100;
  int channels = 1;
  int blockAlign() const { return channels * 2; }
  int32_t bytesPerSecond() const { return blockAlign() * sampleRate; }
};

enum class DeviceStatus {
  Ok = 0,
  NoDevice = 1,     // no such device number, or no devices at all
  BadFormat = 2,    // the device refuses the format
  Busy = 3,         // allocated to another program
  Failed = 4,       // any other refusal
};

enum class UnprepareResult { Done, StillPlaying, Failed };
