#pragma once
// A wave-input device in memory, for tests of the capture engine without
// sound hardware. Devices made by one FakeWaveInSystem share its record and
// its input: the test queues 16-bit frames with feed() and hands them to the
// open device with deliver(); each buffer is done once it is full, as a
// real device gives buffers back.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "devices/wave_in_device.h"

class FakeWaveInDevice;

class FakeWaveInSystem : public std::enable_shared_from_this<FakeWaveInSystem> {
 public:
  struct Opening {
    uint32_t deviceNumber = 0;
    PcmFormat format;
    bool mapped = false;
    bool succeeded = false;
  };

  static std::shared_ptr<FakeWaveInSystem> create();
  WaveInDeviceMaker maker();

  void setDeviceNames(std::vector<std::string> names);  // without the default entry
  void refuseOpens(bool plain, bool mapped);
  // While held, the device answers "still recording" to every unprepare:
  // the capture thread cannot end.
  void holdUnprepare(bool hold);

  // Input waiting to be recorded, interleaved 16-bit samples.
  void feed(const std::vector<int16_t>& samples);
  // Moves up to frames fed frames into the open device's queued buffers;
  // returns how many went (fewer when the input or the queue ran out).
  int64_t deliver(int64_t frames);
  // Frames fed and not yet delivered.
  int64_t pendingFrames() const;
  // Waits until the engine has taken back (read) at least count buffers in all.
  bool waitForTaken(int64_t count, int timeoutMs);
  bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

  std::vector<Opening> openings() const;
  int openDevices() const;
  int queuedBuffers() const;
  int64_t buffersTaken() const;
  bool started() const;

 private:
  friend class FakeWaveInDevice;
  FakeWaveInSystem() = default;
  FakeWaveInDevice* openLocked() const;

  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<std::string> m_names{"Fake Microphone"};
  bool m_refusePlain = false;
  bool m_refuseMapped = false;
  bool m_holdUnprepare = false;
  std::deque<int16_t> m_input;
  std::vector<FakeWaveInDevice*> m_open;
  std::vector<Opening> m_openings;
  int64_t m_taken = 0;
};

class FakeWaveInDevice final : public WaveInDevice {
 public:
  explicit FakeWaveInDevice(std::shared_ptr<FakeWaveInSystem> system);
  ~FakeWaveInDevice() override;

  DeviceStatus open(uint32_t deviceNumber, const PcmFormat& format, bool mapped, sys::Event& bufferDone) override;
  bool prepareBuffer(int index, uint8_t* data, uint32_t capacityBytes) override;
  bool addBuffer(int index) override;
  bool bufferDone(int index) const override;
  uint32_t recordedBytes(int index) const override;
  void clearBuffer(int index) override;
  void start() override;
  void stop() override;
  void reset() override;
  UnprepareResult unprepareBuffer(int index) override;
  void close() override;
  bool isOpen() const override;
  std::vector<std::string> deviceNames() const override;

 private:
  friend class FakeWaveInSystem;
  struct Buffer {
    uint8_t* data = nullptr;
    uint32_t capacity = 0;
    uint32_t recorded = 0;
    bool prepared = false;
    bool queued = false;
    bool done = false;
  };
  void closeLocked();

  std::shared_ptr<FakeWaveInSystem> m_system;
  bool m_open = false;
  bool m_started = false;
  PcmFormat m_format;
  sys::Event* m_bufferDone = nullptr;
  std::vector<Buffer> m_buffers;
  std::deque<int> m_queue;
};
