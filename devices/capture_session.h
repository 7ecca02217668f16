#pragma once
// What one capture shares between the engine and its capture thread: the
// sink, the voice gate's limits and state, and the news for the main
// thread. The thread owns its device and buffers outright and holds the
// session by a shared pointer, so a thread that outlives its stop keeps
// everything it uses until it ends. Private to VoiceActivatedCapture.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/sample_source.h"
#include "devices/capture_blocks.h"
#include "devices/capture_listener.h"
#include "devices/main_thread_poster.h"
#include "devices/wave_in_device.h"
#include "sys/threads.h"

struct CaptureTimings {
  int stopWaitMs = 5000;       // for the thread in stop and restart
  int startWaitMs = 1500;      // for the device to open in start
  int restartWaitMs = 700;     // the same in restart
  int destroyWaitMs = 7000;    // for threads still running when the engine goes
  int idleWaitMs = 1000;       // the thread's longest sleep; a silent device then shows silence
  int unprepareRetryMs = 50;   // between tries to take a buffer back from the device
};

struct CaptureLimits {
  int64_t timeCeilingMs = 0;  // 0: none
  int triggerLevel = -127;    // dB: the gate opens at this block level
  int releaseLevel = -127;    // dB: blocks below it count as silence
  int64_t hangTimeMs = 0;     // silence longer than this closes the gate
};

class CaptureSession {
 public:
  static constexpr int kBufferCount = 32;
  static constexpr int kStopped = 0, kWaiting = 1, kRecording = 2;

  CaptureSession(SampleSinkRef sink, CaptureLimits limits, std::shared_ptr<MainThreadPoster> poster,
                 CaptureTimings timings);

  // The capture thread's body: opens a device of makeDevice (deviceNumber as
  // in the settings), records until requestStop, drains and closes.
  void run(const WaveInDeviceMaker& makeDevice, uint32_t deviceNumber);
  // Before the thread starts (again).
  void prepareRun();
  void requestStop();
  bool waitStarted(int timeoutMs) { return m_started.wait(timeoutMs); }

  SampleSink& sink() { return *m_sink; }
  void releaseSink() { m_sink.reset(); }
  bool hasSink() const { return static_cast<bool>(m_sink); }
  int64_t sinkPositionMs() const;
  void disablePosts() { m_poster->disable(); }

  // Written by the thread, read on the main thread; the main thread writes
  // them only while no thread runs.
  std::atomic<int32_t> state{kWaiting};
  std::atomic<int64_t> lastLoudMs{0};
  // The sink's position in ms as of the last block (the thread's writes are
  // not seen on the main thread otherwise).
  std::atomic<int64_t> positionMs{0};
  // Takes the flags and the levels for a notification.
  CaptureNews takeNews();
  bool ceilingReached() const { return m_ceilingReached.load(); }

 private:
  // One block of n frames, already converted: filter, measure, gate, write.
  void processBlock(Sample* block, int32_t frames);
  void writeToSink(const Sample* block, int32_t frames);
  void publishLevels(const LevelRecord& levels);
  void post() { m_poster->post(); }

  SampleSinkRef m_sink;
  const CaptureLimits m_limits;
  std::shared_ptr<MainThreadPoster> m_poster;
  const CaptureTimings m_timings;
  int m_channels;
  int32_t m_rate;

  sys::Event m_started{true, false};
  sys::Event m_wake{true, false};  // the device's callback event, and stop requests
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_ceilingReached{false};
  std::atomic<bool> m_newBlock{false};
  std::atomic<bool> m_stateChanged{false};

  std::mutex m_levelsLock;
  LevelRecord m_levels;

  // The thread's own: the DC filter and the previous block kept while the
  // gate is closed (its second half leads into a burst).
  std::optional<DcFilter> m_filter;
  std::vector<Sample> m_lookBack;
  int32_t m_lookBackFrames = 0;
};
