#include "recorder/session/recording_session.h"

#include <gtest/gtest.h>

#include "recorder/session/continuing_sink.h"
#include "recorder/session/tests/session_fakes.h"
#include "sys/folders.h"

namespace recorder {
namespace {

using testing::DoneList;
using testing::FakeCapture;
using testing::FakeFiles;
using testing::FakeUi;
using Answer = SessionUi::Answer;

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    options.extension = ".wav";
    options.outputFolder = "out";
    options.recordTone = false;
    options.stoppedTone = false;
  }
  std::string path(const std::string& name) { return sys::joinPath("out", name + ".wav"); }
  RecordingSession& session() {
    if (!m_session) m_session = std::make_unique<RecordingSession>(capture, files, ui, done, [this] { return options; });
    return *m_session;
  }

  SessionOptions options;
  FakeCapture capture;
  FakeFiles files;
  FakeUi ui;
  DoneList done;

 private:
  std::unique_ptr<RecordingSession> m_session;
};

TEST_F(SessionTest, RecordsAtOnceIntoANameFromThePatternAndMarksItDone) {
  session().record();
  ASSERT_EQ(capture.state(), CaptureState::kRecording);
  EXPECT_EQ(session().currentPath(), path("Take 1"));
  EXPECT_EQ(ui.state, "Recording...");
  EXPECT_TRUE(ui.busy);
  ASSERT_EQ(capture.requests.size(), 1u);
  EXPECT_EQ(capture.requests[0].triggerLevel, -127);
  EXPECT_EQ(capture.requests[0].hangTimeMs, 216000000);
  EXPECT_EQ(capture.requests[0].timeCeilingMs, 14400000);
  capture.deliver(1234);
  EXPECT_EQ(ui.elapsed, "0:00:01.23");

  session().record();  // already recording: nothing happens
  EXPECT_EQ(capture.requests.size(), 1u);

  session().stopAndMarkDone();
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_EQ(done.paths, std::vector<std::string>{path("Take 1")});
  EXPECT_TRUE(files.last(path("Take 1")).committed);
  EXPECT_EQ(files.last(path("Take 1")).samples.size(), 1234u);
  EXPECT_EQ(ui.state, "Ready");
  EXPECT_FALSE(ui.busy);
  EXPECT_TRUE(session().currentPath().empty());
  session().stopAndMarkDone();  // nothing under way: nothing more is marked done
  EXPECT_EQ(done.paths.size(), 1u);
}

TEST_F(SessionTest, AnExistingFileIsReplacedOnlyWhenThePersonSaysYes) {
  files.existing = {path("Take 1"), path("Take 2")};
  ui.answers = {Answer::No, Answer::Yes};
  session().record();
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_TRUE(files.created.empty());
  EXPECT_EQ(ui.questions, std::vector<std::string>{"File Exists"});
  session().record();
  EXPECT_EQ(session().currentPath(), path("Take 2"));
  EXPECT_EQ(capture.state(), CaptureState::kRecording);
}

TEST_F(SessionTest, TheNamePromptAsksAgainForEmptyNamesAndRefusedReplacements) {
  options.promptForName = true;
  files.existing = {path("old")};
  ui.names = {"", "old", "old"};
  ui.answers = {Answer::No, Answer::Cancel};
  session().record();
  EXPECT_EQ(ui.prompts, 3);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0], "Name Invalid: The name must contain text.");
  EXPECT_EQ(capture.state(), CaptureState::kStopped);  // Cancel ends without recording

  ui.names = {"old"};
  ui.answers = {Answer::Yes};
  session().record();
  EXPECT_EQ(session().currentPath(), path("old"));

  session().stopAndMarkDone();
  ui.names.clear();  // the prompt is cancelled
  session().record();
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_FALSE(ui.busy);
}

TEST_F(SessionTest, PauseKeepsTheFileOpenAndResumeContinuesIt) {
  options.recordTone = options.stoppedTone = true;
  session().record();
  capture.deliver(500, 1);
  session().pause();
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_EQ(session().currentPath(), path("Take 1"));
  EXPECT_FALSE(files.last(path("Take 1")).committed);
  EXPECT_EQ(ui.state, "Ready");
  session().record();
  capture.deliver(300, 2);
  EXPECT_EQ(ui.elapsed, "0:00:00.80");  // the time of the whole file
  session().stopAndMarkDone();
  EXPECT_EQ(files.created.size(), 1u);
  {
    auto& samples = files.last(path("Take 1")).samples;
    ASSERT_EQ(samples.size(), 800u);
    EXPECT_EQ(samples[499], 1);
    EXPECT_EQ(samples[500], 2);
  }
  // Record tone at each start, stopped tone at the pause and at the stop.
  EXPECT_EQ(ui.tones, (std::vector<int>{1, 2, 1, 2}));
}

TEST_F(SessionTest, RestartWhilePausedMakesTheFileAnewOnlyAtTheNextStart) {
  session().record();
  capture.deliver(500);
  session().pause();
  session().restart();
  EXPECT_TRUE(session().restartPending());
  EXPECT_EQ(files.created.size(), 1u);
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_EQ(ui.elapsed, "0:00:00.00");
  session().record();
  EXPECT_FALSE(session().restartPending());
  ASSERT_EQ(files.created.size(), 2u);
  EXPECT_EQ(files.created[1], path("Take 1"));
  capture.deliver(200);
  EXPECT_EQ(files.last(path("Take 1")).samples.size(), 200u);
}

TEST_F(SessionTest, RestartWhileRecordingMakesTheFileAnewAtOnce) {
  session().record();
  capture.deliver(500);
  session().restart();
  EXPECT_EQ(capture.state(), CaptureState::kRecording);
  EXPECT_FALSE(session().restartPending());
  ASSERT_EQ(files.created.size(), 2u);
  EXPECT_TRUE(files.files[path("Take 1")][0]->committed);
  capture.deliver(100);
  EXPECT_EQ(files.last(path("Take 1")).samples.size(), 100u);
  EXPECT_EQ(session().currentPath(), path("Take 1"));
}

TEST_F(SessionTest, TheMaximumTimeEndsTheRecordingOnlyWhenPassed) {
  options.maxTimeMs = 1000;
  session().record();
  capture.deliver(1000);
  EXPECT_EQ(capture.state(), CaptureState::kRecording);
  EXPECT_EQ(ui.elapsed, "0:00:01.00");
  capture.deliver(1);
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_EQ(done.paths, std::vector<std::string>{path("Take 1")});
  EXPECT_FALSE(ui.busy);
}

TEST_F(SessionTest, TheMaximumTimeCanGoOnInANewRecording) {
  options.maxTimeMs = 1000;
  options.stopAtMaxTime = false;
  session().setExitWhenStopped(true);
  session().record();
  capture.deliver(600);
  capture.deliver(600);
  EXPECT_EQ(done.paths, std::vector<std::string>{path("Take 1")});
  EXPECT_EQ(session().currentPath(), path("Take 2"));
  EXPECT_EQ(capture.state(), CaptureState::kRecording);
  EXPECT_EQ(ui.closeRequests, 0);  // going on is not stopping
  capture.deliver(700);
  EXPECT_EQ(files.last(path("Take 1")).samples.size() + files.last(path("Take 2")).samples.size(), 1900u);
}

TEST_F(SessionTest, AFullFileIsEndedAndTheRecordingGoesOnInTheNext) {
  files.limitFrames = 1000;
  session().record();
  capture.deliver(900);
  capture.deliver(200);  // refused: the file cannot hold it
  EXPECT_EQ(done.paths, std::vector<std::string>{path("Take 1")});
  EXPECT_TRUE(files.last(path("Take 1")).committed);
  EXPECT_EQ(files.last(path("Take 1")).samples.size(), 900u);
  EXPECT_EQ(session().currentPath(), path("Take 2"));
  EXPECT_EQ(capture.state(), CaptureState::kRecording);
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(SessionTest, AFileThatFailsForAnotherReasonStopsTheRecordingWithAMessage) {
  session().record();
  capture.deliver(300);
  files.last(path("Take 1")).breakDown();
  capture.deliver(100);
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_EQ(done.paths, std::vector<std::string>{path("Take 1")});
  EXPECT_TRUE(session().currentPath().empty());
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_NE(ui.errors[0].find("cannot write to the file"), std::string::npos);
}

TEST_F(SessionTest, AFileThatCannotBeMadeEndsTheStartWithItsName) {
  options.outputFolder = "100%s";
  files.refuse = {sys::joinPath("100%s", "Take 1.wav")};
  session().record();
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_TRUE(session().currentPath().empty());
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_NE(ui.errors[0].find("cannot open the file \"" + sys::joinPath("100%s", "Take 1.wav") + "\" for recording"),
            std::string::npos);
}

TEST_F(SessionTest, ADeviceThatDoesNotOpenKeepsTheFileForTheNextStart) {
  capture.deviceFails = true;
  session().record();
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_NE(ui.errors[0].find("cannot open the sound device"), std::string::npos);
  EXPECT_EQ(session().currentPath(), path("Take 1"));
  capture.deviceFails = false;
  session().record();
  EXPECT_EQ(capture.state(), CaptureState::kRecording);
  EXPECT_EQ(files.created.size(), 1u);
}

TEST_F(SessionTest, VoiceActivationGatesWithTheClampedLevelAndShowsTheWait) {
  options.voiceActivate = true;
  options.voiceActivateLevel = -300;
  options.intervalTone = true;
  options.intervalSecs = 12;
  session().record();
  EXPECT_EQ(capture.requests[0].triggerLevel, -127);
  options.voiceActivateLevel = -18;
  session().stopAndMarkDone();
  EXPECT_EQ(ui.intervalMs, 0);
  session().record();
  EXPECT_EQ(capture.requests[1].triggerLevel, -18);
  EXPECT_EQ(capture.requests[1].hangTimeMs, 5000);
  EXPECT_EQ(ui.state, "Waiting for voice input...");
  EXPECT_EQ(ui.intervalMs, 12000);
  capture.gate(CaptureState::kRecording);
  EXPECT_EQ(ui.state, "Recording...");
  capture.gate(CaptureState::kWaiting);
  EXPECT_EQ(ui.state, "Waiting for voice input...");
}

TEST_F(SessionTest, ExitWhenStoppedClosesOnPauseOrStopButNotOnRestart) {
  session().setExitWhenStopped(true);
  session().record();
  session().restart();
  EXPECT_EQ(ui.closeRequests, 0);
  session().pause();
  EXPECT_EQ(ui.closeRequests, 1);
}

TEST_F(SessionTest, FinishingKeepsTheRecordingWithoutMarkingItDone) {
  session().setExitWhenStopped(true);
  session().record();
  capture.deliver(300);
  session().finish();
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
  EXPECT_TRUE(files.last(path("Take 1")).committed);
  EXPECT_EQ(files.last(path("Take 1")).samples.size(), 300u);
  EXPECT_TRUE(done.paths.empty());
  EXPECT_EQ(ui.closeRequests, 0);  // the program is going anyway
  session().record();              // a new recording, not the old file made anew
  EXPECT_EQ(session().currentPath(), path("Take 2"));
}

TEST_F(SessionTest, AFormatOutsideTheTableStartsNothing) {
  options.format = 3;
  session().record();
  EXPECT_TRUE(files.created.empty());
  EXPECT_EQ(capture.state(), CaptureState::kStopped);
}

TEST_F(SessionTest, RecordIntoEndsTheCurrentRecordingFirst) {
  session().record();
  session().recordInto("elsewhere.mp3");
  EXPECT_EQ(done.paths, std::vector<std::string>{path("Take 1")});
  EXPECT_EQ(session().currentPath(), "elsewhere.mp3");
  EXPECT_EQ(capture.state(), CaptureState::kRecording);
}

TEST(ContinuingSink, WritesAndTrimsAtTheFilePositionAndLeavesTheFileOpen) {
  auto file = makeRef<testing::MemoryFile>(1000, 1, int64_t{1} << 40);
  std::vector<Sample> block(100, 7);
  file->write(block.data(), 100);
  {
    SampleSinkRef run = makeContinuingSink(file);
    EXPECT_EQ(run->position(), 100);
    run->write(block.data(), 100);
    EXPECT_EQ(run->position(), 200);
    run->seek(150);  // a trimmed tail
    EXPECT_EQ(file->position(), 150);
  }
  EXPECT_FALSE(file->committed);
  EXPECT_FALSE(file->closed());
  file->write(block.data(), 10);
  EXPECT_EQ(file->samples.size(), 160u);
  file->breakDown();
  EXPECT_FALSE(makeContinuingSink(file)->good());
}

}  // namespace
}  // namespace recorder
