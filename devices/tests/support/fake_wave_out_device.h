#pragma once
// A wave-output device in memory, for tests of the player without sound
// hardware. Devices made by one FakeWaveOutSystem share its record: what was
// opened with which format, every byte played in order, volumes, and the
// device that plays now (the one opened last and still open).
//
// Nothing plays by itself: a test either plays frames on demand with play(),
// or starts a clock that plays in (scaled) real time. A block is done once
// all its frames are played; a looping block plays round and round and is
// done only by reset().

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "devices/wave_out_device.h"

class FakeWaveOutDevice;

class FakeWaveOutSystem : public std::enable_shared_from_this<FakeWaveOutSystem> {
 public:
  struct Opening {
    uint32_t deviceNumber = 0;
    PcmFormat format;
    bool mapped = false;
    bool succeeded = false;
  };

  static std::shared_ptr<FakeWaveOutSystem> create();
  ~FakeWaveOutSystem();

  WaveOutDeviceMaker maker();

  // Set-up.
  void setDeviceNames(std::vector<std::string> names);  // without the default entry
  // Opens fail: plain ones, mapped ones, or both.
  void refuseOpens(bool plain, bool mapped);
  // The device answers "still playing" to this many unprepare calls.
  void answerStillPlaying(int times);

  // Plays up to frames frames of the queue of the playing device; returns how
  // many were played (fewer when the queue ran dry).
  int64_t play(int64_t frames);
  // Plays in real time times speedFactor on a thread of its own until
  // stopClock (or destruction).
  void startClock(double speedFactor);
  void stopClock();

  // Waits up to timeoutMs until the playing device has at least blocks
  // blocks queued; false on time-out.
  bool waitForQueued(int blocks, int timeoutMs);
  bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

  // The record.
  std::vector<uint8_t> playedBytes() const;
  std::vector<int16_t> playedSamples() const;
  std::vector<Opening> openings() const;
  int queuedBlocks() const;
  int openDevices() const;
  int resets() const;
  int unprepareCalls() const;
  // The playing device's position, as it would report it.
  int64_t playedFrames() const;
  uint16_t volumeOf(uint32_t deviceNumber) const;
  // Frames the clock wanted to play while the queue was empty between two
  // writes: underruns.
  int64_t starvedFrames() const;

 private:
  friend class FakeWaveOutDevice;
  FakeWaveOutSystem() = default;
  void clockLoop(double speedFactor);
  int64_t playLocked(int64_t frames);
  FakeWaveOutDevice* playingLocked() const;

  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<std::string> m_names{"Fake Speakers"};
  bool m_refusePlain = false;
  bool m_refuseMapped = false;
  int m_stillPlayingAnswers = 0;
  std::vector<FakeWaveOutDevice*> m_open;  // in order of opening
  std::vector<Opening> m_openings;
  std::vector<uint8_t> m_played;
  std::map<uint32_t, uint32_t> m_volumes;  // left | right << 16
  int m_resets = 0;
  int m_unprepareCalls = 0;
  int64_t m_starved = 0;
  bool m_clockRunning = false;
  std::thread m_clock;
};

class FakeWaveOutDevice final : public WaveOutDevice {
 public:
  explicit FakeWaveOutDevice(std::shared_ptr<FakeWaveOutSystem> system);
  ~FakeWaveOutDevice() override;

  DeviceStatus open(uint32_t deviceNumber, const PcmFormat& format, bool mapped, sys::Event& blockDone) override;
  bool prepareBlock(int index, uint8_t* data, uint32_t capacityBytes) override;
  bool writeBlock(int index, uint32_t bytes, bool loop) override;
  bool blockDone(int index) const override;
  void clearBlock(int index) override;
  void reset() override;
  void pause() override;
  void restart() override;
  int64_t playedFrames() const override;
  UnprepareResult unprepareBlock(int index) override;
  void close() override;
  bool isOpen() const override;
  bool getVolume(uint32_t deviceNumber, uint16_t& left, uint16_t& right) const override;
  bool setVolume(uint32_t deviceNumber, uint16_t left, uint16_t right) override;
  std::vector<std::string> deviceNames() const override;

 private:
  friend class FakeWaveOutSystem;
  struct Block {
    uint8_t* data = nullptr;
    uint32_t capacity = 0;
    uint32_t bytes = 0;
    bool prepared = false;
    bool queued = false;
    bool done = false;
    bool loop = false;
  };
  void closeLocked();

  std::shared_ptr<FakeWaveOutSystem> m_system;
  bool m_open = false;
  bool m_paused = false;
  uint32_t m_deviceNumber = 0;
  PcmFormat m_format;
  sys::Event* m_blockDone = nullptr;
  std::vector<Block> m_blocks;
  std::deque<int> m_queue;
  uint32_t m_headPlayedBytes = 0;  // of the block at the queue's head
  int64_t m_playedFrames = 0;
  bool m_everWritten = false;
  int64_t m_idleFrames = 0;  // wanted by the clock since the queue ran dry
};
