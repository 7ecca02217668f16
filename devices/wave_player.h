#pragma once
// Streams a SampleSource to a wave-output device and reports the heard
// position and levels back to the main thread.
//
// Blocks of 100 ms (rate / 10 frames, 20 ... 8192) go out through a ring of
// 64 device blocks: 6.4 s of queued sound absorbs stalls of the main thread
// and of disk reads. The first block after each start is a quarter block,
// so that the first one heard is reported soon. Two worker threads share the ring: the feeder reads the
// source into free blocks and queues them, the done-watcher takes finished
// blocks back, records their position and levels and posts to the main
// thread. Every operation here that touches the source (stop, hold, seek)
// first stops the feeder, so the source is never read by two threads.
//
// All operations belong to the main thread. The workers reach it only by
// calling postToMainThread, which must make onNotify() run on the main
// thread soon (the editor connects it to its notifier window); several posts
// may arrive as one call.
//
// The player owns what its workers use jointly with them: a worker that does
// not end within its wait keeps the device, the blocks and the source until
// it ends, and posts nothing more. The player then counts as closed.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "devices/player_blocks.h"
#include "devices/player_listener.h"
#include "devices/wave_out_device.h"

namespace sys {
class Thread;
}

class PlaySession;
class MainThreadPoster;

// How long the player waits for things, in milliseconds; tests shorten them.
struct PlayerTimings {
  int stopWaitMs = 5000;        // for the feeder in stop, hold and seek, and for the watcher
  int destroyWaitMs = 7000;     // for workers still running when the player goes
  int idleWaitMs = 1000;        // a worker's longest sleep before it looks again
  int unprepareRetryMs = 50;    // between tries to take a block back from the device
};

class WavePlayer {
 public:
  static constexpr int kBlockCount = 64;
  // state(): bit 0 open, bit 2 holding.
  static constexpr uint16_t kClosed = 0;
  static constexpr uint16_t kPlaying = 1;
  static constexpr uint16_t kHolding = 5;

  WavePlayer(WaveOutDeviceMaker makeDevice, std::function<void()> postToMainThread,
             PlayerTimings timings = {});
  // Stops playback; waits up to destroyWaitMs for workers that outlived a stop.
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  // "SoundOutDevice": 0 the system default, n >= 1 device n - 1.
  void setDevice(uint32_t device) { m_device = device; }
  uint32_t device() const { return m_device; }

  // Opens the device for the source's format (16-bit PCM) and starts
  // streaming from the source's position. A source that may go beyond the
  // 16-bit range (nominalPeak above 524,272) is played through a
  // PeakLimitSource that keeps it to -524,288 ... 524,272, so a 16-bit sound
  // still reaches the device unchanged. False,
  // with the player closed, when the source is not good or no device opens.
  // The player takes the reference: hold no other to the source, since a
  // worker that outlives a stop releases it from its own thread.
  bool open_and_play(SampleSourceRef source);
  // Stops streaming and closes the device; nothing when closed. Calls stopped.
  void stop();
  // From playing: freezes at the heard position and loops a 25 ms snippet
  // from there. Calls held, then position.
  void hold();
  // From holding: streams on from the hold position. Calls started.
  void resume();
  // Moves the source while open; when holding the snippet moves with it,
  // so dragging the cursor while held makes each place audible. Calls position.
  void seek(int32_t frame);

  // Device volume in dB (see player_volume.h): of the open device, else of
  // the selected one; the last known value when the device does not say.
  int8_t volume() const;
  void set_volume(int db);

  void set_listener(PlayerListener* listener, void* context);

  // Runs what the workers posted: position and levels reports, and the close
  // once the source has run out (after a last position report at its length).
  void onNotify();

  uint16_t state() const { return m_state; }
  bool isOpen() const { return m_state != kClosed; }
  bool isHolding() const { return m_state == kHolding; }
  // Frame position of the last block the device finished: what is heard.
  int32_t position() const;
  int32_t positionMs() const;
  // The level record of the block last heard.
  LevelRecord levels() const;
  // The source being played (after any limiter), empty when closed.
  SampleSourceRef source() const;
  int32_t framesPerBlock() const;
  // Why the last open_and_play failed to open a device.
  DeviceStatus lastOpenStatus() const { return m_lastOpenStatus; }
  // Worker threads that outlived their stop and have not ended yet.
  int strayWorkers();

 private:
  bool startFeeder();
  // Signals the feeder to stop and waits; false when it did not end in time.
  bool stopFeeder();
  // Leaves a session to a worker that would not stop, and closes.
  void abandonSession();
  void closeSession();
  void primeHoldSnippet();
  void reportPosition();
  void reapStrayWorkers(int waitMs);

  WaveOutDeviceMaker m_makeDevice;
  std::function<void()> m_postToMainThread;
  PlayerTimings m_timings;
  PlayerListener m_silentListener;
  PlayerListener* m_listener = &m_silentListener;
  void* m_context = nullptr;
  uint32_t m_device = 0;
  uint16_t m_state = kClosed;
  mutable int8_t m_lastVolumeDb = 10;
  DeviceStatus m_lastOpenStatus = DeviceStatus::Ok;
  std::shared_ptr<PlaySession> m_session;
  std::unique_ptr<sys::Thread> m_feeder;
  std::vector<std::unique_ptr<sys::Thread>> m_strayWorkers;
};
