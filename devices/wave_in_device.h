#pragma once
// A wave-input device: the system's waveIn on Windows, a fake in tests.
// The capture engine makes one per run of its thread; it opens it, prepares
// its buffers once, hands them all to the device, and learns of filled
// buffers through the event it gave to open and through bufferDone().

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/wave_device_types.h"

// Name of device number 0 in device lists.
constexpr const char* kDefaultSoundInName = "[Default Sound In]";

class WaveInDevice {
 public:
  virtual ~WaveInDevice() = default;

  // deviceNumber 0 is the system's default device, n >= 1 is device n - 1.
  // mapped lets the system convert a format the device does not take. The
  // device sets bufferDone (a manual-reset event) each time it fills a
  // buffer; the event must outlive the device.
  virtual DeviceStatus open(uint32_t deviceNumber, const PcmFormat& format, bool mapped,
                            sys::Event& bufferDone) = 0;
  // Hands buffer memory to the device: buffer index's bytes start at data and
  // hold up to capacityBytes. The memory must stay until unprepareBuffer.
  virtual bool prepareBuffer(int index, uint8_t* data, uint32_t capacityBytes) = 0;
  // Queues a prepared buffer for the device to fill.
  virtual bool addBuffer(int index) = 0;
  // True once the device has given a queued buffer back: filled, or cut
  // short by reset().
  virtual bool bufferDone(int index) const = 0;
  // The bytes the device put into a done buffer.
  virtual uint32_t recordedBytes(int index) const = 0;
  // Forgets the done mark of a buffer the engine has read.
  virtual void clearBuffer(int index) = 0;
  virtual void start() = 0;
  virtual void stop() = 0;
  // Stops at once and gives every queued buffer back, done with what it holds.
  virtual void reset() = 0;
  virtual UnprepareResult unprepareBuffer(int index) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;

  // Names of the devices by device number: kDefaultSoundInName, then each
  // input device of the system.
  virtual std::vector<std::string> deviceNames() const = 0;
};

// Makes a closed device; the engine asks for a fresh one for each run.
using WaveInDeviceMaker = std::function<std::unique_ptr<WaveInDevice>()>;

// The system's device (waveIn). Windows builds only.
std::unique_ptr<WaveInDevice> makeSystemWaveInDevice();
