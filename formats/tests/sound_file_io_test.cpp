#include "formats/sound_file_io.h"

#include <gtest/gtest.h>

#include "core/block_store.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

class SoundFileIo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (blockFolder().empty()) ASSERT_TRUE(setWorkingFolder(sys::joinPath(sys::tempFolder(), "zed-formats-blocks")));
  }
  testkit::ScratchFolder scratch;
  FormatContext context{nullptr, nullptr, ""};
};

struct StopAfter : ProgressCallback {
  explicit StopAfter(int64_t frames) : limit(frames) {}
  bool progress(int64_t done, int64_t) override { return done < limit; }
  int64_t limit;
};

TEST_F(SoundFileIo, LoadsAndSavesEveryBuiltInFormatWithItsSamples) {
  ZED_REQUIRE_TOOL("sox");
  std::string source = scratch.file("speech.wav");
  ASSERT_EQ(testkit::runTool("sox -V1 -n -r 8000 -c 1 -b 16 " + source + " synth 2 sine 200-3000 vol 0.5"), 0);
  SoundBuffer sound;
  ASSERT_EQ(loadSoundFile(source, context, sound), JobResult::Done);
  EXPECT_EQ(sound.totalFrames(), 16000);
  EXPECT_EQ(sound.sampleRate(), 8000);
  ASSERT_EQ(sound.spans().size(), 1u);
  std::string reference = scratch.file("ref.raw");
  ASSERT_EQ(testkit::runTool("sox " + source + " -t raw -e signed -b 16 " + reference), 0);
  // 16-bit formats keep every sample exactly.
  for (const char* name : {"a.wav", "a.aiff", "a.au"}) {
    std::string path = scratch.file(name);
    ASSERT_EQ(saveSoundFile(sound, path, context), JobResult::Done) << name;
    std::string raw = scratch.file(std::string(name) + ".raw");
    ASSERT_EQ(testkit::runTool("sox " + path + " -t raw -e signed -b 16 " + raw), 0);
    EXPECT_EQ(testkit::readPcm16(raw), testkit::readPcm16(reference)) << name;
    SoundBuffer again;
    ASSERT_EQ(loadSoundFile(path, context, again), JobResult::Done) << name;
    EXPECT_EQ(again.totalFrames(), 16000) << name;
  }
}

TEST_F(SoundFileIo, AFailedLoadOrCancelLeavesTheTargetAsItWas) {
  std::string path = scratch.file("short.wav");
  {
    auto sink = makeWavePcmSink(path, 8000, 1, 2);
    std::vector<Sample> frames(40000, 160);
    sink->write(frames.data(), 40000);
  }
  SoundBuffer target;
  ASSERT_TRUE(target.insertSilence(0, 7));
  StopAfter cancel(8192);
  EXPECT_EQ(loadSoundFile(path, context, target, &cancel), JobResult::Cancelled);
  EXPECT_EQ(target.totalFrames(), 7);
  EXPECT_EQ(loadSoundFile(scratch.file("missing.wav"), context, target), JobResult::Failed);
  EXPECT_EQ(target.totalFrames(), 7);
}

TEST_F(SoundFileIo, ASaveThatCannotWriteReportsFailure) {
  SoundBuffer sound;
  ASSERT_TRUE(sound.insertSilence(0, 100));
  EXPECT_EQ(saveSoundFile(sound, scratch.file("missing-folder/x.wav"), context), JobResult::Failed);
  EXPECT_EQ(saveSoundFile(sound, scratch.file("x.ogg"), context), JobResult::Failed);
  EXPECT_EQ(saveSoundFile(sound, scratch.file("x.wav"), context), JobResult::Done);
}

}  // namespace
