#include "recorder/session/recording_session.h"

#include <algorithm>

#include "recorder/session/continuing_sink.h"
#include "recorder/model/recording_time.h"
#include "sys/folders.h"

namespace recorder {
namespace {

constexpr char kReplaceText[] =
    "Another file with the same name and format already exists. Do you want to replace it? ";
constexpr char kReplaceTitle[] = "File Exists";
constexpr char kEmptyNameText[] = "The name must contain text.";
constexpr char kEmptyNameTitle[] = "Name Invalid";
constexpr char kErrorTitle[] = "Rezara Sound Recorder";
constexpr char kDeviceText[] =
    "Rezara cannot open the sound device for recording.\r\n\r\n"
    "Please check you have selected the correct Sound Record Device in Settings";

// The path goes in by plain substitution: it may hold a "%".
std::string cannotOpenFileText(const std::string& path) {
  return "Rezara cannot open the file \"" + path +
         "\" for recording.\r\n\r\nPlease check you have selected the correct output folder in settings.";
}

std::string cannotWriteFileText(const std::string& path) {
  return "Rezara cannot write to the file \"" + path +
         "\".\r\n\r\nThe recording was stopped; what was recorded before is kept in the file.";
}

}  // namespace

RecordingSession::RecordingSession(CapturePort& capture, RecordingFiles& files, SessionUi& ui,
                                   RecordingDoneSink& done, std::function<SessionOptions()> options)
    : m_capture(capture), m_files(files), m_ui(ui), m_done(done), m_options(std::move(options)) {
  m_capture.setListener(this);
}

RecordingSession::~RecordingSession() {
  finish();
  m_capture.setListener(nullptr);
}

void RecordingSession::finish() {
  ++m_internalStops;
  if (m_capture.state() != CaptureState::kStopped) m_capture.stop();
  --m_internalStops;
  closeFile();
  m_restartPending = false;
  setPath("");
}

void RecordingSession::record() {
  if (m_capture.state() != CaptureState::kStopped) return;
  SessionOptions options = m_options();
  if (!m_path.empty()) {
    // Paused: continue the open file, or make it anew after a restart.
    if (m_restartPending || !m_file) {
      m_restartPending = false;
      closeFile();
      if (!openFile(options)) return;
    }
    startCapture(options);
    return;
  }
  if (options.format < 0 || options.format >= 3) return;
  std::string path = chooseNewPath(options);
  if (path.empty()) return;
  m_format = options.format;
  setPath(path);
  if (!openFile(options)) return;
  startCapture(options);
}

void RecordingSession::recordInto(const std::string& path) {
  if (path.empty()) return;
  SessionOptions options = m_options();
  if (options.format < 0 || options.format >= 3) return;
  if (!m_path.empty()) stopAndMarkDone();
  if (m_capture.state() != CaptureState::kStopped) return;
  m_format = options.format;
  setPath(path);
  if (!openFile(options)) return;
  startCapture(options);
}

void RecordingSession::pause() {
  if (m_capture.state() == CaptureState::kStopped) return;
  stopCapture(m_options().stoppedTone);
  m_restartPending = false;
}

void RecordingSession::restart() {
  if (m_path.empty()) return;
  const bool wasRunning = m_capture.state() != CaptureState::kStopped;
  ++m_internalStops;
  pause();
  --m_internalStops;
  closeFile();
  if (wasRunning) {
    SessionOptions options = m_options();
    if (openFile(options)) startCapture(options);
  } else {
    m_restartPending = true;
  }
  m_ui.showElapsed(elapsedTimeText(0));
}

void RecordingSession::stopAndMarkDone() {
  if (m_path.empty()) return;
  pause();
  closeFile();
  const std::string path = m_path;
  m_restartPending = false;
  setPath("");
  m_done.recordingDone(path);
}

void RecordingSession::endFileAndContinue(bool continueInNewFile) {
  if (m_endingFile) return;
  m_endingFile = true;
  if (continueInNewFile) ++m_internalStops;
  stopAndMarkDone();
  if (continueInNewFile) {
    --m_internalStops;
    record();
  }
  m_endingFile = false;
}

std::string RecordingSession::chooseNewPath(const SessionOptions& options) {
  if (options.promptForName) return askForName(options);
  std::string path = sys::joinPath(options.outputFolder, m_files.nameFromPattern() + options.extension);
  if (m_files.exists(path) &&
      m_ui.ask(kReplaceText, kReplaceTitle, SessionUi::Buttons::YesNo) != SessionUi::Answer::Yes)
    return "";
  return path;
}

std::string RecordingSession::askForName(const SessionOptions& options) {
  for (;;) {
    std::optional<std::string> name = m_ui.promptForName();
    if (!name) return "";
    if (name->empty()) {
      m_ui.showError(kEmptyNameText, kEmptyNameTitle);
      continue;
    }
    std::string path = sys::joinPath(options.outputFolder, *name + options.extension);
    if (m_files.exists(path)) {
      SessionUi::Answer answer = m_ui.ask(kReplaceText, kReplaceTitle, SessionUi::Buttons::YesNoCancel);
      if (answer == SessionUi::Answer::Cancel) return "";
      if (answer == SessionUi::Answer::No) continue;
    }
    return path;
  }
}

bool RecordingSession::openFile(const SessionOptions&) {
  m_file = m_files.create(m_path, m_format);
  if (m_file && m_file->good()) return true;
  m_file.reset();
  const std::string path = m_path;
  m_restartPending = false;
  setPath("");
  m_ui.showError(cannotOpenFileText(path), kErrorTitle);
  return false;
}

void RecordingSession::startCapture(const SessionOptions& options) {
  if (options.recordTone) m_ui.playTone(1);
  CaptureRequest request;
  request.device = options.device;
  request.line = options.line;
  request.recordVolume = options.recordVolume;
  request.timeCeilingMs = kTimeCeilingMs;
  if (options.voiceActivate) {
    request.triggerLevel = std::clamp(options.voiceActivateLevel, -127, 127);
    request.hangTimeMs = kVoiceHangMs;
  } else {
    request.triggerLevel = -127;
    request.hangTimeMs = kEndlessHangMs;
  }
  m_maxTimeMs = options.maxTimeMs;
  m_stopAtMaxTime = options.stopAtMaxTime;
  m_starting = true;
  const bool started = m_capture.start(makeContinuingSink(m_file), request);
  m_starting = false;
  if (!started) {
    // The file stays open: a later start continues it.
    showCaptureState(CaptureState::kStopped);
    m_ui.showError(kDeviceText, kErrorTitle);
    return;
  }
  if (options.intervalTone) m_ui.setIntervalTone(std::max(options.intervalSecs, 1) * int64_t{1000});
  showCaptureState(m_capture.state());
}

void RecordingSession::stopCapture(bool tone) {
  if (tone) m_ui.playTone(2);
  m_ui.setIntervalTone(0);
  m_capture.stop();
}

void RecordingSession::closeFile() {
  if (!m_file) return;
  m_file->close();
  m_file.reset();
}

void RecordingSession::setPath(const std::string& path) {
  const bool wasBusy = !m_path.empty();
  m_path = path;
  if (wasBusy != !m_path.empty()) m_ui.showBusy(!m_path.empty());
}

void RecordingSession::showCaptureState(int state) {
  if (state == CaptureState::kRecording) {
    m_ui.showState("Recording...", true);
  } else if (state == CaptureState::kWaiting) {
    m_ui.showState("Waiting for voice input...", false);
  } else {
    m_ui.showState("Ready", false);
  }
}

void RecordingSession::stopped(void*) {
  m_ui.setIntervalTone(0);
  showCaptureState(CaptureState::kStopped);
  if (m_exitWhenStopped && m_internalStops == 0) m_ui.closeProgram();
}

void RecordingSession::position(int64_t milliseconds, void*) {
  if (!m_file || m_starting) {
    if (m_starting) m_ui.showElapsed(elapsedTimeText(milliseconds));
    return;
  }
  if (!m_file->good()) {
    if (m_file->full()) {
      // The file holds all it can: it is done, and the recording goes on in the next.
      endFileAndContinue(true);
    } else {
      const std::string path = m_path;
      stopAndMarkDone();
      m_ui.showError(cannotWriteFileText(path), kErrorTitle);
    }
    return;
  }
  if (m_maxTimeMs && maxTimeExceeded(milliseconds, *m_maxTimeMs)) {
    endFileAndContinue(!m_stopAtMaxTime);
    return;
  }
  m_ui.showElapsed(elapsedTimeText(milliseconds));
}

void RecordingSession::news(const CaptureNews& news, void*) {
  if (news.stateChanged) showCaptureState(news.state);
}

}  // namespace recorder
