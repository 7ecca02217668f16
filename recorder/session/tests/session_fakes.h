#pragma once
// Stand-ins for the capture engine, the recording files and the person at
// the window, recording what the session asked of them.

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "recorder/session/recording_session.h"

namespace recorder::testing {

// A recording file in memory: its samples, whether it was closed, and a
// size limit past which it refuses writes the way a full file does.
class MemoryFile final : public SampleSink {
 public:
  MemoryFile(int32_t rate, int channels, int64_t limitFrames)
      : SampleSink(rate, channels), m_limitFrames(limitFrames) {}
  ~MemoryFile() override { close(); }
  void write(const Sample* buffer, int32_t frames) override {
    if (!good()) return;
    if (position() + int64_t{frames} > m_limitFrames) {
      refuseAsFull();
      return;
    }
    samples.insert(samples.end(), buffer, buffer + int64_t{frames} * channels());
    setPosition(position() + frames);
  }
  void seek(int32_t frame) override {
    samples.resize(static_cast<size_t>(frame) * channels());
    setPosition(frame);
  }
  void breakDown() { fail(); }
  std::vector<Sample> samples;
  bool committed = false;

 private:
  void commit() override { committed = true; }
  int64_t m_limitFrames;
};

class FakeFiles final : public RecordingFiles {
 public:
  bool exists(const std::string& path) const override { return existing.count(path) > 0; }
  SampleSinkRef create(const std::string& path, int format) override {
    created.push_back(path);
    formats.push_back(format);
    if (refuse.count(path)) return {};
    auto file = makeRef<MemoryFile>(1000, 1, limitFrames);
    files[path].push_back(file);
    existing.insert(path);
    return file;
  }
  std::string nameFromPattern() override { return "Take " + std::to_string(nextNumber++); }
  MemoryFile& last(const std::string& path) { return *files.at(path).back(); }

  std::set<std::string> existing;
  std::set<std::string> refuse;
  std::vector<std::string> created;
  std::vector<int> formats;
  std::map<std::string, std::vector<SourceRef<MemoryFile>>> files;
  int nextNumber = 1;
  int64_t limitFrames = int64_t{1} << 40;
};

// The engine: 1,000 frames a second, mono, so frames are milliseconds.
class FakeCapture final : public CapturePort {
 public:
  void setListener(CaptureListener* l) override { listener = l; }
  bool start(SampleSinkRef s, const CaptureRequest& request) override {
    requests.push_back(request);
    if (deviceFails) return false;
    sink = std::move(s);
    m_state = request.triggerLevel > -127 ? CaptureState::kWaiting : CaptureState::kRecording;
    listener->started(nullptr);
    listener->position(sink->position(), nullptr);
    return true;
  }
  void stop() override {
    if (m_state == CaptureState::kStopped) return;
    m_state = CaptureState::kStopped;
    sink.reset();
    ++stops;
    listener->stopped(nullptr);
  }
  int state() const override { return m_state; }

  // The device delivers frames of value; the engine writes and reports.
  void deliver(int32_t frames, Sample value = 100) {
    std::vector<Sample> block(static_cast<size_t>(frames), value);
    sink->write(block.data(), frames);
    listener->position(sink->position(), nullptr);
  }
  void gate(int state) {
    m_state = state;
    CaptureNews news;
    news.stateChanged = true;
    news.state = state;
    listener->news(news, nullptr);
  }

  CaptureListener* listener = nullptr;
  SampleSinkRef sink;
  std::vector<CaptureRequest> requests;
  bool deviceFails = false;
  int stops = 0;

 private:
  int m_state = CaptureState::kStopped;
};

class FakeUi final : public SessionUi {
 public:
  Answer ask(const std::string& text, const std::string& title, Buttons) override {
    questions.push_back(title);
    Answer a = answers.empty() ? Answer::No : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  void showError(const std::string& text, const std::string& title) override {
    errors.push_back(title + ": " + text);
  }
  std::optional<std::string> promptForName() override {
    ++prompts;
    if (names.empty()) return std::nullopt;
    std::string name = names.front();
    names.pop_front();
    return name;
  }
  void playTone(int tone) override { tones.push_back(tone); }
  void setIntervalTone(int64_t periodMs) override { intervalMs = periodMs; }
  void showState(const std::string& text, bool) override { state = text; }
  void showElapsed(const std::string& text) override { elapsed = text; }
  void showBusy(bool b) override { busy = b; }
  void closeProgram() override { ++closeRequests; }

  std::deque<Answer> answers;
  std::deque<std::string> names;
  std::vector<std::string> questions, errors;
  std::vector<int> tones;
  int prompts = 0;
  int64_t intervalMs = 0;
  std::string state, elapsed;
  bool busy = false;
  int closeRequests = 0;
};

class DoneList final : public RecordingDoneSink {
 public:
  void recordingDone(const std::string& path) override { paths.push_back(path); }
  std::vector<std::string> paths;
};

}  // namespace recorder::testing
