#pragma once
// Everything one playback uses, shared by the player and its two worker
// threads: the device, the source, the ring of blocks and their memory, the
// events and the news for the main thread. Whoever lets go last frees it, so
// a worker that outlives its stop never touches freed memory. Private to the
// player.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "core/sample_source.h"
#include "devices/main_thread_poster.h"
#include "devices/player_blocks.h"
#include "devices/wave_out_device.h"
#include "devices/wave_player.h"
#include "sys/threads.h"

struct BlockSlot {
  uint32_t capacityBytes = 0;
  int32_t positionAfter = 0;  // the source position just after this block
  LevelRecord levels;
  std::atomic<bool> free{true};
};

class PlaySession {
 public:
  PlaySession(std::unique_ptr<WaveOutDevice> device, SampleSourceRef source,
              std::shared_ptr<MainThreadPoster> poster, const PlayerTimings& timings);
  // Takes the blocks back from the device and closes it, then frees them.
  ~PlaySession();
  PlaySession(const PlaySession&) = delete;
  PlaySession& operator=(const PlaySession&) = delete;

  // Opens the device (a second try lets the system convert the format),
  // allocates the ring and prepares its blocks.
  DeviceStatus open(uint32_t deviceNumber);
  // Device reset, blocks taken back (retrying while the device still plays
  // them), device closed, source released. Runs once.
  void close();

  // The feeder thread's body; self is its own thread, whose priority the
  // watcher may raise.
  void runFeeder(sys::Thread& self);
  void requestFeederStop();
  // Before a feeder starts again.
  void clearForFeeder();

  // Holding: a quarter block read at the source position, repeated to fill
  // block 0, which the device loops until reset. Returns the snippet's levels.
  LevelRecord primeHoldSnippet();

  WaveOutDevice& device() { return *m_device; }
  SampleSource& source() { return *m_source; }
  const SampleSourceRef& sourceRef() const { return m_source; }
  int32_t framesPerBlock() const { return m_framesPerBlock; }
  int channels() const { return m_channels; }
  void disablePosts() { m_poster->disable(); }

  // News for the main thread, written by the workers.
  std::atomic<int32_t> position{0};
  std::atomic<bool> finished{false};
  std::atomic<bool> positionChanged{false};
  LevelRecord levels() const;
  void setLevels(const LevelRecord& record);

 private:
  void runWatcher(sys::Thread& feeder);
  // Reads n frames into slot i's block; the slot is then the device's.
  void fillSlot(int i, int32_t frames);
  uint8_t* blockData(int i) { return m_memory.data() + static_cast<size_t>(i) * m_blockBytes; }
  bool stopRequested() const { return m_feederStop.load(); }

  std::unique_ptr<WaveOutDevice> m_device;
  SampleSourceRef m_source;
  std::shared_ptr<MainThreadPoster> m_poster;
  PlayerTimings m_timings;
  bool m_closed = false;

  int m_channels = 1;
  int32_t m_framesPerBlock = 0;
  uint32_t m_blockBytes = 0;
  std::vector<uint8_t> m_memory;   // all 64 blocks of 16-bit samples
  std::vector<Sample> m_scratch;   // one block of source samples
  std::array<BlockSlot, WavePlayer::kBlockCount> m_slots;

  sys::Event m_blockDone{true, false};  // the device's callback event
  sys::Event m_needData{true, false};   // a slot has become free
  std::atomic<bool> m_feederStop{false};
  std::atomic<bool> m_watcherStop{false};
  std::atomic<int> m_backlog{0};
  std::atomic<bool> m_feederBoosted{false};

  mutable std::mutex m_levelsLock;
  LevelRecord m_levels;
};
