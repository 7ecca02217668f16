#include "core/block_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/peak_overview.h"
#include "core/sound_buffer.h"
#include "core/tests/block_test_support.h"
#include "sys/folder_lock.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

TEST(BlockStore, HandsOutTheLowestFreeNumberAndReusesReleasedOnes) {
  BlockNumber first = allocateBlock();
  BlockNumber second = allocateBlock();
  BlockNumber third = allocateBlock();
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(third, first + 2);
  releaseBlock(second);
  EXPECT_EQ(allocateBlock(), second);
  for (BlockNumber b : {first, second, third}) releaseBlock(b);
  EXPECT_EQ(blockRefCount(first), 0);
}

TEST(BlockStore, ReleasingTheLastReferenceDeletesBothFilesAndNoBlockIsIgnored) {
  SoundBuffer buffer = coretest::bufferFrom(coretest::ramp(300, 2), 2);
  BlockNumber block = buffer.spans().at(0).block();
  EXPECT_EQ(blockRefCount(block), 1);
  std::string samples = blockSamplePath(block);
  std::string peaks = blockPeakPath(block);
  EXPECT_TRUE(sys::fileExists(samples));
  EXPECT_EQ(testkit::readAll(samples).size(), 300u * 2 * 4);
  // Two records of two channels, two bytes each.
  EXPECT_EQ(testkit::readAll(peaks).size(), 8u);
  {
    SoundBuffer copy = buffer;
    EXPECT_EQ(blockRefCount(block), 2);
  }
  EXPECT_EQ(blockRefCount(block), 1);
  buffer.clear();
  EXPECT_EQ(blockRefCount(block), 0);
  EXPECT_FALSE(sys::fileExists(samples));
  EXPECT_FALSE(sys::fileExists(peaks));
  releaseBlock(NoBlock);
  addBlockRef(NoBlock);
  EXPECT_EQ(blockRefCount(NoBlock), 0);
  EXPECT_EQ(blockSamplePath(NoBlock), "");
}

TEST(BlockStore, SaturatedCountNeverChangesAgain) {
  // A saturated block lives until the process ends, so this runs in a child.
  EXPECT_EXIT(
      {
        BlockNumber block = allocateBlock();
        for (int i = 0; i < 70000; ++i) addBlockRef(block);
        bool saturated = blockRefCount(block) == kSaturatedRefCount;
        for (int i = 0; i < 70000; ++i) releaseBlock(block);
        std::exit(saturated && blockRefCount(block) == kSaturatedRefCount ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(BlockStore, PathsJoinOnceAndAreCutAt259Characters) {
  EXPECT_EQ(blockPathIn("C:\\work\\", "7.aud"), "C:\\work\\7.aud");
  EXPECT_EQ(blockPathIn("/work/", "7.aud"), "/work/7.aud");
  std::string path = blockPathIn(std::string(300, 'a'), "7.aud");
  EXPECT_EQ(path.size(), 259u);
  EXPECT_NE(blockSamplePath(12).find("12.aud"), std::string::npos);
}

TEST(BlockStore, KeepsItsFilesInALockedSessionFolderOfItsOwn) {
  std::string session = blockFolder();
  ASSERT_FALSE(session.empty());
  // Another process (or holder) cannot take the folder we use.
  sys::FolderLock other;
  EXPECT_FALSE(other.take(session));
}

TEST(PeakOverview, BytesAreThePeaksIn2048StepsSaturatedAt255) {
  EXPECT_EQ(PeakOverview::peakByte(524287), 255);
  EXPECT_EQ(PeakOverview::peakByte(2047), 0);
  EXPECT_EQ(PeakOverview::peakByte(2048), 1);
  EXPECT_EQ(PeakOverview::peakByte(INT32_MAX), 255);

  PeakOverview overview(2);
  std::vector<Sample> frames(2 * 300);
  for (int f = 0; f < 300; ++f) {
    frames[2 * f] = -4096 * (f % 3);           // all at or below zero
    frames[2 * f + 1] = f == 10 ? INT32_MIN : 8192;  // the most negative value negates safely
  }
  std::vector<uint8_t> records;
  overview.add(frames.data(), 100, records);
  EXPECT_TRUE(records.empty());
  overview.add(frames.data() + 200, 200, records);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], 0);  // no positive peak in channel 0
  EXPECT_EQ(records[1], 4);
  EXPECT_EQ(records[2], 4);
  EXPECT_EQ(records[3], 255);
  overview.flush(records);
  EXPECT_EQ(records.size(), 8u);
  overview.flush(records);
  EXPECT_EQ(records.size(), 8u);
}

TEST(BlockWriter, ExhaustedNumbersMakeTheWriterFailAndLeaveTheTargetAlone) {
  std::vector<BlockNumber> taken;
  for (BlockNumber b; (b = allocateBlock()) != NoBlock;) taken.push_back(b);
  SoundBuffer target = SoundBuffer(8000, 1);
  ASSERT_TRUE(target.insertSilence(0, 5));
  SourceStatus status;
  {
    auto writer = target.openWriter(44100, 2);
    std::vector<Sample> frames(2000, 7);
    writer->write(frames.data(), 1000);
    status = writer->close();
  }
  for (BlockNumber b : taken) releaseBlock(b);
  EXPECT_EQ(status, SourceStatus::CannotCreate);
  EXPECT_EQ(target.totalFrames(), 5);
  EXPECT_EQ(target.sampleRate(), 8000);
}

}  // namespace

namespace {

TEST(BlockStore, PurgeDeletesOnlyOurBlockNamesAndASecondProcessTakesAnotherFolder) {
  testkit::ScratchFolder scratch;
  std::string previous = blockFolder();
  std::string working = scratch.file("work");
  ASSERT_TRUE(setWorkingFolder(working));
  std::string session = blockFolder();
  EXPECT_EQ(session.rfind(working, 0), 0u);
  for (const char* name : {"1.aud", "12.grf", "notes.aud", "a1.aud", "take 1.grf", "x.txt"})
    testkit::writeAll(sys::joinPath(session, name), {1, 2, 3});
  purgeWorkingFolder();
  for (const char* name : {"1.aud", "12.grf"}) EXPECT_FALSE(sys::fileExists(sys::joinPath(session, name)));
  for (const char* name : {"notes.aud", "a1.aud", "take 1.grf", "x.txt"})
    EXPECT_TRUE(sys::fileExists(sys::joinPath(session, name))) << name;

  // While another holder keeps that session folder, we get a different one.
  sys::FolderLock otherProcess;
  ASSERT_TRUE(otherProcess.take(session));
  ASSERT_TRUE(setWorkingFolder(working));
  EXPECT_NE(blockFolder(), session);
  otherProcess.release();
  purgeWorkingFolder();
  ASSERT_TRUE(setWorkingFolder(sys::folderOf(previous)));
}

}  // namespace
