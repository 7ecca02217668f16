#pragma once
// One take of the record dialog: a sound of its own and the sink the
// capture writes it through. The sink holds the sound jointly with the
// dialog, so a capture thread that outlives its stop still writes into a
// sound that exists.
//
// The sink writes in pieces of a few seconds, each its own block, so that
// the dialog can show the take while it grows (soundSoFar); a seek back
// before the piece being written drops what lies after it.

#include <memory>
#include <mutex>

#include "core/sound_buffer.h"

class RecordingTake {
 public:
  RecordingTake(int32_t sampleRate, int channels);
  // Hands the sink over: the take keeps no handle, so releasing the
  // capture's commits it.
  SampleSinkRef releaseSink() { return std::move(m_sink); }
  bool committed() const;
  bool failed() const;
  // The recorded sound, once committed.
  const SoundBuffer& sound() const;
  // The pieces finished so far, from any thread.
  SoundBuffer soundSoFar() const;

  struct State {
    mutable std::mutex lock;  // over sound while the sink writes
    SoundBuffer sound;
    bool committed = false;
    bool failed = false;
  };

 private:
  std::shared_ptr<State> m_state;
  SampleSinkRef m_sink;
};
