#include "sys/process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sys/tests/platform.h"
#include "testkit/testkit.h"

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// A command line whose child copies its standard input into outputPath.
std::string copyInputInto(const std::string& outputPath) {
#ifdef _WIN32
  return quoted(ZED_COPY_STDIN_HELPER) + " " + quoted(outputPath);
#else
  return "cat > " + quoted(outputPath);
#endif
}

// A command line whose child reads nothing and ends at once with code.
std::string exitAtOnceWith(int code) {
#ifdef _WIN32
  return quoted(ZED_COPY_STDIN_HELPER) + " --exit " + std::to_string(code);
#else
  return "exit " + std::to_string(code);
#endif
}

// A command line whose child reads nothing and takes a minute to end.
std::string sleepForAMinute() {
#ifdef _WIN32
  return quoted(ZED_COPY_STDIN_HELPER) + " --sleep 60000";
#else
  return "sleep 60";
#endif
}

TEST(Process, AChildStartedAloneGivesItsExitCodeOrIsEndedAtOnce) {
  sys::Process quick;
  ASSERT_TRUE(quick.startAlone(exitAtOnceWith(7), true));
  EXPECT_TRUE(quick.wait(20000));
  EXPECT_EQ(quick.exitCode(), 7);

  sys::Process slow;
  ASSERT_TRUE(slow.startAlone(sleepForAMinute(), true));
  EXPECT_FALSE(slow.wait(100));
  EXPECT_TRUE(slow.running());
  slow.terminate();
  EXPECT_FALSE(slow.running());
  EXPECT_TRUE(slow.wait(0));
  EXPECT_NE(slow.exitCode(), 0);
}

TEST(Process, FeedsTheChildMoreThanThePipeHoldsAndItGetsEveryByte) {
  testkit::ScratchFolder scratch;
  std::string output = scratch.file("copied.raw");
  std::vector<uint8_t> data(300000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>((i * 7919) >> 3);

  sys::Process child;
  EXPECT_EQ(child.exitCode(), -1);
  ASSERT_TRUE(child.start(copyInputInto(output), 65536, true));
  EXPECT_TRUE(child.running());
  // In uneven pieces, as an encoder sink writes.
  size_t written = 0;
  for (size_t piece = 1000; written < data.size(); piece += 7777) {
    size_t bytes = std::min(piece, data.size() - written);
    ASSERT_EQ(child.writeInput(data.data() + written, bytes), bytes);
    written += bytes;
  }
  EXPECT_EQ(child.exitCode(), -1) << "unknown while it runs";
  child.closeInput();
  EXPECT_EQ(child.writeInput(data.data(), 1), 0u) << "the input is closed";
  ASSERT_TRUE(child.wait(10000));
  EXPECT_FALSE(child.running());
  EXPECT_EQ(child.exitCode(), 0);
  EXPECT_EQ(testkit::readAll(output), data);
}

TEST(Process, WritingToAChildThatHasEndedFailsWithoutHarm) {
  sys::Process child;
  ASSERT_TRUE(child.start(exitAtOnceWith(3), 4096, true));
  ASSERT_TRUE(child.wait(10000));
  EXPECT_EQ(child.exitCode(), 3);
  EXPECT_FALSE(child.running());
  std::vector<uint8_t> data(1 << 20, 0x55);
  EXPECT_LT(child.writeInput(data.data(), data.size()), data.size());
}

TEST(Process, AProgramThatCannotStartIsReported) {
  // The POSIX side starts a shell, which always starts; the shell then fails.
  if (!systest::kOnWindows) GTEST_SKIP() << "commands run through a shell here";
  testkit::ScratchFolder scratch;
  sys::Process child;
  EXPECT_FALSE(child.start(quoted(scratch.file("missing.exe")) + " -", 65536, true));
  EXPECT_FALSE(child.running());
  EXPECT_EQ(child.writeInput("x", 1), 0u);
  EXPECT_TRUE(child.wait(0));
  EXPECT_EQ(child.exitCode(), -1);
}

TEST(Process, TheOwnerEndingClosesTheInputSoTheChildFinishes) {
  testkit::ScratchFolder scratch;
  std::string output = scratch.file("closed.raw");
  {
    sys::Process child;
    ASSERT_TRUE(child.start(copyInputInto(output), 65536, true));
    ASSERT_EQ(child.writeInput("last words", 10), 10u);
  }
  // The destructor closed the pipe and waited for the child to write the file.
  auto bytes = testkit::readAll(output);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "last words");
}

TEST(Process, TerminateEndsAChildThatIsStillWaitingForInput) {
  testkit::ScratchFolder scratch;
  sys::Process child;
  ASSERT_TRUE(child.start(copyInputInto(scratch.file("never.raw")), 65536, true));
  ASSERT_EQ(child.writeInput("partial", 7), 7u);
  EXPECT_FALSE(child.wait(100)) << "the child waits for the rest of its input";
  child.terminate();
  EXPECT_FALSE(child.running());
  EXPECT_NE(child.exitCode(), 0);
}

}  // namespace
