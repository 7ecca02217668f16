#pragma once
// What a recording session needs from the world around it: the capture
// engine, the recording files, the person at the window and whoever takes
// the finished recordings. The program connects them to the real device,
// writers and message boxes; the tests to fakes.

#include <cstdint>
#include <optional>
#include <string>

#include "core/sample_source.h"
#include "devices/capture_listener.h"

namespace recorder {

// States of the capture engine.
namespace CaptureState {
constexpr int kStopped = 0;
constexpr int kWaiting = 1;  // armed: waiting for sound
constexpr int kRecording = 2;
}  // namespace CaptureState

// Which device to record from and how to gate it, for one run of the capture.
struct CaptureRequest {
  uint8_t device = 0;  // 0 the default input, n >= 1 device n - 1
  uint8_t line = 0;
  int recordVolume = 0;
  int64_t timeCeilingMs = 0;
  int triggerLevel = -127;
  int64_t hangTimeMs = 0;
};

class CapturePort {
 public:
  virtual ~CapturePort() = default;
  // Reports of the engine go to listener (context null), on the main thread.
  virtual void setListener(CaptureListener* listener) = 0;
  // Selects the device, applies the volume and records into sink; false when
  // no device opened (the sink is then released).
  virtual bool start(SampleSinkRef sink, const CaptureRequest& request) = 0;
  // Ends the run and releases its sink; reports stopped.
  virtual void stop() = 0;
  // 0 stopped, 1 waiting for sound, 2 writing.
  virtual int state() const = 0;
};

class RecordingFiles {
 public:
  virtual ~RecordingFiles() = default;
  virtual bool exists(const std::string& path) const = 0;
  // A new writer of format (0 WAV, 1 MP3, 2 AIFF) at path; a null or failed
  // sink when the file cannot be made.
  virtual SampleSinkRef create(const std::string& path, int format) = 0;
  // The next name (no folder, no extension) made from the name pattern;
  // advances the automatic number as it goes.
  virtual std::string nameFromPattern() = 0;
};

// The questions and announcements of a session.
class SessionUi {
 public:
  enum class Buttons { YesNo, YesNoCancel };
  enum class Answer { Yes, No, Cancel };
  virtual ~SessionUi() = default;
  virtual Answer ask(const std::string& text, const std::string& title, Buttons buttons) = 0;
  virtual void showError(const std::string& text, const std::string& title) = 0;
  // The one-line "Enter File Name" dialog; empty when cancelled.
  virtual std::optional<std::string> promptForName() = 0;
  // 1 the record tone, 2 the stopped tone; returns once it has played.
  virtual void playTone(int tone) = 0;
  // Plays the record tone every periodMs; 0 stops it.
  virtual void setIntervalTone(int64_t periodMs) = 0;
  virtual void showState(const std::string& text, bool recording) = 0;
  virtual void showElapsed(const std::string& text) = 0;
  // A recording is under way or paused (busy) or none is (the format may change).
  virtual void showBusy(bool busy) = 0;
  // The program should close (started to end when recording stops); posted,
  // since the session is still at work when it asks.
  virtual void closeProgram() = 0;
};

// Takes each recording that was stopped and marked done.
class RecordingDoneSink {
 public:
  virtual ~RecordingDoneSink() = default;
  virtual void recordingDone(const std::string& path) = 0;
};

}  // namespace recorder
