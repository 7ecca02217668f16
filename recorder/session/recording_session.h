#pragma once
// One recording at a time, from the input device into a file of the output
// folder: start (or resume), pause, restart and stop-and-mark-done, voice
// activation, the maximum length and the files' size limit. Everything runs
// on the main thread; the capture engine reports through CaptureListener.
//
// States: Ready (no current file) -> start -> Recording or Waiting (capture
// running) -> pause -> Paused (file kept open, capture stopped) -> start ->
// the same file continues, or, after a restart while paused, is made anew ->
// stop and mark done -> Ready.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "devices/capture_listener.h"
#include "recorder/session/session_ports.h"

namespace recorder {

// What a start reads from the settings at that moment.
struct SessionOptions {
  int format = 0;             // 0 WAV, 1 MP3, 2 AIFF; anything else starts nothing
  std::string extension;      // of the format, with its dot
  std::string outputFolder;
  bool promptForName = false;
  uint8_t device = 0;
  uint8_t line = 0;
  int recordVolume = 0;
  bool recordTone = true;
  bool stoppedTone = true;
  bool intervalTone = false;
  int intervalSecs = 30;
  bool voiceActivate = false;
  int voiceActivateLevel = -18;
  std::optional<int64_t> maxTimeMs;  // set when the length is limited
  bool stopAtMaxTime = true;         // false: a new recording follows at once
};

class RecordingSession : private CaptureListener {
 public:
  static constexpr int64_t kTimeCeilingMs = 14400000;
  static constexpr int64_t kVoiceHangMs = 5000;
  static constexpr int64_t kEndlessHangMs = 216000000;

  RecordingSession(CapturePort& capture, RecordingFiles& files, SessionUi& ui, RecordingDoneSink& done,
                   std::function<SessionOptions()> options);
  ~RecordingSession() override;
  RecordingSession(const RecordingSession&) = delete;
  RecordingSession& operator=(const RecordingSession&) = delete;

  // Starts or resumes recording (a new file takes its name from the pattern
  // or from the person).
  void record();
  // Starts recording into exactly this path; a recording under way is
  // stopped and marked done first.
  void recordInto(const std::string& path);
  void pause();
  void restart();
  void stopAndMarkDone();
  // Ends the recording as it stands, before the program goes: the capture
  // stops and the file is finished with all it holds, but not marked done.
  void finish();

  // The program closes once the capture stops by a command.
  void setExitWhenStopped(bool exit) { m_exitWhenStopped = exit; }

  const std::string& currentPath() const { return m_path; }
  bool restartPending() const { return m_restartPending; }
  bool busy() const { return !m_path.empty(); }
  int captureState() const { return m_capture.state(); }

 private:
  // CaptureListener, from the engine on the main thread.
  void stopped(void*) override;
  void position(int64_t milliseconds, void*) override;
  void news(const CaptureNews& news, void*) override;

  // A free name in the output folder, asking as needed; empty: do not record.
  std::string chooseNewPath(const SessionOptions& options);
  std::string askForName(const SessionOptions& options);
  bool openFile(const SessionOptions& options);
  void startCapture(const SessionOptions& options);
  void stopCapture(bool tone);
  void closeFile();
  void setPath(const std::string& path);
  void showCaptureState(int state);
  // The current file is full or long enough: end it, and go on in a new one.
  void endFileAndContinue(bool continueInNewFile);

  CapturePort& m_capture;
  RecordingFiles& m_files;
  SessionUi& m_ui;
  RecordingDoneSink& m_done;
  std::function<SessionOptions()> m_options;

  std::string m_path;
  int m_format = 0;
  SampleSinkRef m_file;
  bool m_restartPending = false;
  bool m_exitWhenStopped = false;
  // Stops inside restart and the change of file are not the end of recording.
  int m_internalStops = 0;
  bool m_endingFile = false;
  bool m_starting = false;
  std::optional<int64_t> m_maxTimeMs;
  bool m_stopAtMaxTime = true;
};

}  // namespace recorder
