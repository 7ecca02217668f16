#pragma once
// What the wave-in and wave-out devices share: device numbers, the result
// codes of the wave functions, and the PCM format they open with.

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "devices/wave_device_types.h"

namespace wave_device {

// Device number 0 is the system's mapper ("default"); others count from 1.
inline UINT deviceIdOf(uint32_t deviceNumber) { return deviceNumber == 0 ? WAVE_MAPPER : deviceNumber - 1; }

inline DeviceStatus statusOf(MMRESULT result) {
  switch (result) {
    case MMSYSERR_NOERROR: return DeviceStatus::Ok;
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER: return DeviceStatus::NoDevice;
    case WAVERR_BADFORMAT: return DeviceStatus::BadFormat;
    case MMSYSERR_ALLOCATED: return DeviceStatus::Busy;
    default: return DeviceStatus::Failed;
  }
}

// 16-bit PCM in the format's rate and channels.
inline WAVEFORMATEX waveFormatOf(const PcmFormat& format) {
  WAVEFORMATEX wave{};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = static_cast<WORD>(format.channels);
  wave.nSamplesPerSec = static_cast<DWORD>(format.sampleRate);
  wave.wBitsPerSample = 16;
  wave.nBlockAlign = static_cast<WORD>(format.blockAlign());
  wave.nAvgBytesPerSec = static_cast<DWORD>(format.bytesPerSecond());
  return wave;
}

}  // namespace wave_device
