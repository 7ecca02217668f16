#pragma once
// A wave-output device: the system's waveOut on Windows, a fake in tests.
// The player owns one instance per playback; it opens it, prepares its blocks
// once, then queues them, and learns of finished blocks through the event it
// handed to open and through blockDone().

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/wave_device_types.h"

// Name of device number 0 in device lists.
constexpr const char* kDefaultSoundOutName = "[Default Sound Out]";

class WaveOutDevice {
 public:
  virtual ~WaveOutDevice() = default;

  // deviceNumber 0 is the system's default device, n >= 1 is device n - 1.
  // mapped lets the system convert a format the device does not take.
  // The device sets blockDone (a manual-reset event) each time it finishes
  // a block; the event must outlive the device.
  virtual DeviceStatus open(uint32_t deviceNumber, const PcmFormat& format, bool mapped,
                            sys::Event& blockDone) = 0;
  // Hands block memory to the device: block index's bytes start at data and
  // hold up to capacityBytes. The memory must stay until unprepareBlock.
  virtual bool prepareBlock(int index, uint8_t* data, uint32_t capacityBytes) = 0;
  // Queues the first bytes of a prepared block. A looping block repeats
  // until reset() and is never done by itself.
  virtual bool writeBlock(int index, uint32_t bytes, bool loop) = 0;
  // True once the device has finished a block written to it (or reset it).
  virtual bool blockDone(int index) const = 0;
  // Forgets the done mark of a block the player has taken back.
  virtual void clearBlock(int index) = 0;
  // Stops playing at once and marks every queued block done.
  virtual void reset() = 0;
  virtual void pause() = 0;
  virtual void restart() = 0;
  // Frames played since open or the last reset.
  virtual int64_t playedFrames() const = 0;
  virtual UnprepareResult unprepareBlock(int index) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;

  // Volume of both channels, 0 ... 65535: of the open device, else of
  // device deviceNumber (same numbering as open).
  virtual bool getVolume(uint32_t deviceNumber, uint16_t& left, uint16_t& right) const = 0;
  virtual bool setVolume(uint32_t deviceNumber, uint16_t left, uint16_t right) = 0;

  // Names of the devices by device number: kDefaultSoundOutName, then each
  // device of the system.
  virtual std::vector<std::string> deviceNames() const = 0;
};

// Makes a closed device; the player asks for a fresh one for each playback.
using WaveOutDeviceMaker = std::function<std::unique_ptr<WaveOutDevice>()>;

// The system's device (waveOut). Windows builds only.
std::unique_ptr<WaveOutDevice> makeSystemWaveOutDevice();
