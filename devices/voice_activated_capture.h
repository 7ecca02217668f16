#pragma once
// Records from a wave-input device into a SampleSink: removes the input's
// DC offset, measures the levels of every block, and can wait for sound
// before it writes (voice activation), cut long silences down to 450 ms, and
// trim the silent tail when it stops.
//
// A capture thread takes 100 ms buffers (rate / 10 frames, 32 ... 8192) from
// a ring of 32 (3.2 s absorb stalls), filters, measures and gates each block
// and writes it to the sink. It is the only writer of the sink while it
// runs; stop and restart touch the sink only after the thread has ended.
//
// All operations belong to the main thread. The thread reaches it only by
// calling postToMainThread, which must make onNotify() run on the main
// thread soon (the dialogs connect it to a notifier window); several posts
// may arrive as one call.
//
// A thread that does not end within its stop wait keeps the sink, the
// device and the buffers until it ends, posts nothing more and is left to
// end by itself; the engine then counts as stopped.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "devices/capture_listener.h"
#include "devices/capture_session.h"
#include "devices/wave_in_device.h"

namespace sys {
class Thread;
}

class VoiceActivatedCapture {
 public:
  static constexpr int kStopped = CaptureSession::kStopped;
  static constexpr int kWaiting = CaptureSession::kWaiting;
  static constexpr int kRecording = CaptureSession::kRecording;
  // Hang time that in effect never closes the gate: 60 hours.
  static constexpr int64_t kEndlessHangMs = 216000000;

  VoiceActivatedCapture(WaveInDeviceMaker makeDevice, std::function<void()> postToMainThread,
                        CaptureTimings timings = {});
  // Stops; waits up to destroyWaitMs for threads that outlived a stop.
  ~VoiceActivatedCapture();
  VoiceActivatedCapture(const VoiceActivatedCapture&) = delete;
  VoiceActivatedCapture& operator=(const VoiceActivatedCapture&) = delete;

  // Device 0 is the system's default ("[Default Sound In]"), n >= 1 input
  // device n - 1; line is the input line chosen with it, kept for owners
  // that select it on the device's mixer.
  void setDevice(uint8_t device, uint8_t line = 0) {
    m_device = device;
    m_line = line;
  }
  uint8_t device() const { return m_device; }
  uint8_t line() const { return m_line; }

  // Records into sink (its rate and channels are the device format) until
  // stop. Blocks below triggerLevel dB are not written until one reaches it;
  // silence (below triggerLevel - 4) longer than hangTimeMs is cut to 450 ms
  // and the gate waits again. timeCeilingMs > 0 raises ceilingReached once
  // the sink passes it. False, with the sink released, when the sink is not
  // good or no device opened within 1.5 s. Calls started, then position.
  bool start(SampleSinkRef sink, int64_t timeCeilingMs, int triggerLevel, int64_t hangTimeMs);
  // Empties the sink and waits for sound again (Restart, Re-Take). Calls
  // started and position, or stopped when the device does not open again.
  void restart();
  // Ends the capture and trims the silent tail to 50 ms after the last loud
  // block; then releases the sink (which commits it). Calls stopped.
  void stop();

  void set_listener(CaptureListener* listener, void* context);
  // Runs what the thread posted: news (levels, state, new data, ceiling),
  // then the position.
  void onNotify();

  int32_t state() const;
  bool running() const { return static_cast<bool>(m_session); }
  int64_t positionMs() const;
  // The sink position in ms after the last block that reached the release level.
  int64_t lastLoudMs() const;
  int releaseLevel() const { return m_limits.releaseLevel; }
  bool ceilingReached() const;
  // Threads that outlived their stop and have not ended yet.
  int strayThreads();

  // Names for device lists: "[Default Sound In]", then the system's devices.
  std::vector<std::string> deviceNames() const;

 private:
  bool startThread(int waitMs);
  // Signals the thread to stop and waits; false when it did not end in time.
  bool stopThread();
  // After a run whose device did not open: the thread ends, the sink goes.
  void endFailedRun();
  void abandonSession();
  void reapStrayThreads(int waitMs);

  WaveInDeviceMaker m_makeDevice;
  std::function<void()> m_postToMainThread;
  CaptureTimings m_timings;
  CaptureListener m_silentListener;
  CaptureListener* m_listener = &m_silentListener;
  void* m_context = nullptr;
  uint8_t m_device = 0;
  uint8_t m_line = 0;
  CaptureLimits m_limits;
  std::shared_ptr<CaptureSession> m_session;
  std::unique_ptr<sys::Thread> m_thread;
  std::vector<std::unique_ptr<sys::Thread>> m_strayThreads;
};
