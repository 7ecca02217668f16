#include "recorder/transmit/transmit.h"

#include <gtest/gtest.h>

#include <vector>

#include "recorder/transmit/recording_sender.h"
#include "testkit/testkit.h"

namespace recorder {
namespace {

struct FakeMethods : TransmitMethods {
  JobResult folder = JobResult::Done, email = JobResult::Done, ftp = JobResult::Done, program = JobResult::Done;
  std::vector<std::string> calls;
  JobResult copyToFolder(const std::string& recording, const std::string& target) override {
    calls.push_back("folder " + target + " " + recording);
    return folder;
  }
  JobResult sendByEmail(const std::string& recording) override {
    calls.push_back("email " + recording);
    return email;
  }
  JobResult uploadByFtp(const std::string& recording) override {
    calls.push_back("ftp " + recording);
    return ftp;
  }
  JobResult runProgram(const std::string& commandLine) override {
    calls.push_back("program " + commandLine);
    return program;
  }
};

struct Messages : TransmitReport {
  std::vector<std::string> shown;
  void failed(const std::string& message) override { shown.push_back(message); }
};

TransmitChoices allFour() {
  TransmitChoices choices;
  choices.folder = choices.email = choices.ftp = choices.program = true;
  choices.folderPath = "D:\\Mirror";
  choices.programTemplate = "C:\\Tools\\post.exe %s";
  return choices;
}

TEST(Transmit, RunsTheMethodsSwitchedOnInTheirOrder) {
  FakeMethods methods;
  Messages messages;
  EXPECT_EQ(transmitRecording("C:\\Rec\\a b.wav", allFour(), methods, messages), JobResult::Done);
  EXPECT_EQ(methods.calls, (std::vector<std::string>{"folder D:\\Mirror C:\\Rec\\a b.wav", "email C:\\Rec\\a b.wav",
                                                     "ftp C:\\Rec\\a b.wav",
                                                     "program C:\\Tools\\post.exe \"C:\\Rec\\a b.wav\""}));
  EXPECT_TRUE(messages.shown.empty());

  TransmitChoices some;
  some.ftp = true;
  methods.calls.clear();
  EXPECT_EQ(transmitRecording("x.wav", some, methods, messages), JobResult::Done);
  EXPECT_EQ(methods.calls, std::vector<std::string>{"ftp x.wav"});
}

TEST(Transmit, AFailedMethodIsReportedAndTheNextStillRuns) {
  FakeMethods methods;
  methods.email = JobResult::Failed;
  methods.program = JobResult::Failed;
  Messages messages;
  EXPECT_EQ(transmitRecording("C:\\Rec\\Talk 3.mp3", allFour(), methods, messages), JobResult::Failed);
  EXPECT_EQ(methods.calls.size(), 4u);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0],
            "Cannot send the file \"Talk 3.mp3\" to email. Please check the email settings in Options->Transmit again.");
  EXPECT_EQ(messages.shown[1],
            "Cannot run the exe program with the file \"Talk 3.mp3\". Please check the External Exe Path in "
            "Options->Transmit again.");
}

TEST(Transmit, ACancelStopsAtOnce) {
  FakeMethods methods;
  methods.email = JobResult::Cancelled;
  Messages messages;
  EXPECT_EQ(transmitRecording("a.wav", allFour(), methods, messages), JobResult::Cancelled);
  EXPECT_EQ(methods.calls.size(), 2u);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(RecordingSender, SendsEveryQueuedRecordingOnceInOrder) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  std::vector<std::string> sent;
  RecordingSender sender(list, [&](const std::string& recording, sys::Event&) {
    sent.push_back(recording);
    return recording.find("bad") != std::string::npos ? JobResult::Failed : JobResult::Done;
  });
  for (const char* name : {"one.wav", "bad.wav", "three.wav"}) ASSERT_TRUE(sender.queue(folder.file(name)));
  ASSERT_TRUE(sender.waitIdle(10000));
  // A failed transmission leaves the list too; the list is gone once empty.
  EXPECT_EQ(sent, (std::vector<std::string>{folder.file("one.wav"), folder.file("bad.wav"), folder.file("three.wav")}));
  EXPECT_FALSE(list.first());
  ASSERT_TRUE(sender.queue(folder.file("four.wav")));
  ASSERT_TRUE(sender.waitIdle(10000));
  EXPECT_EQ(sent.size(), 4u);
}

TEST(RecordingSender, ACancelKeepsTheRecordingBeingSent) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  sys::Event started(true, false);
  {
    RecordingSender sender(list, [&](const std::string&, sys::Event& cancel) {
      started.set();
      return cancel.wait(10000) ? JobResult::Cancelled : JobResult::Done;
    });
    ASSERT_TRUE(sender.queue(folder.file("long.wav")));
    ASSERT_TRUE(sender.queue(folder.file("next.wav")));
    ASSERT_TRUE(started.wait(10000));
    sender.cancel();
    EXPECT_FALSE(sender.busy());
  }
  // Still waiting, first in line, for the next run.
  EXPECT_EQ(list.first().value_or(""), folder.file("long.wav"));
}

}  // namespace
}  // namespace recorder
