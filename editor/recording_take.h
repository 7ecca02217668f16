#pragma once
// One take of the record dialog: a sound of its own and the sink the
// capture writes it through. The sink holds the sound jointly with the
// dialog, so a capture thread that outlives its stop still writes into a
// sound that exists; the dialog uses the take only once it is committed.

#include <memory>

#include "core/sound_buffer.h"

class RecordingTake {
 public:
  RecordingTake(int32_t sampleRate, int channels);
  // The sink for the capture; one per take.
  SampleSinkRef sink() const { return m_sink; }
  // Hands the sink over: the take keeps no handle, so releasing the capture's
  // commits it.
  SampleSinkRef releaseSink() { return std::move(m_sink); }
  bool committed() const;
  bool failed() const;
  // The recorded sound, once committed.
  const SoundBuffer& sound() const;

  struct State {
    SoundBuffer sound;
    bool committed = false;
    bool failed = false;
  };

 private:
  std::shared_ptr<State> m_state;
  SampleSinkRef m_sink;
};
