#pragma once
// What a capture engine tells its owner, always on the main thread (from
// VoiceActivatedCapture::onNotify or from its own operations). Every call
// gets the context given to set_listener as its last argument.

#include <cstdint>

#include "devices/player_blocks.h"

// What arrived from the capture thread since the last notification.
struct CaptureNews {
  bool newBlock = false;        // a block was taken from the device
  bool stateChanged = false;    // the voice gate opened or closed
  bool ceilingReached = false;  // the sink passed the time ceiling
  int32_t state = 0;            // 0 stopped, 1 waiting for sound, 2 recording
  LevelRecord levels;           // of the last block (silence while none come)
};

class CaptureListener {
 public:
  virtual ~CaptureListener() = default;
  // Capture (re)started: start, restart.
  virtual void started(void* context) {}
  // Capture stopped: stop, or a restart whose device did not open again.
  virtual void stopped(void* context) {}
  // The sink's position in milliseconds.
  virtual void position(int64_t milliseconds, void* context) {}
  // New data, levels and state changes; what a reached ceiling means is the
  // owner's business.
  virtual void news(const CaptureNews& news, void* context) {}
};
