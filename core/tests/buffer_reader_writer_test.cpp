#include <gtest/gtest.h>

#include "core/block_writer.h"
#include "core/buffer_reader.h"
#include "core/silence_source.h"
#include "core/tests/block_test_support.h"
#include "testkit/testkit.h"

namespace {

using coretest::bufferFrom;
using coretest::ramp;
using coretest::readFrames;

TEST(BufferReader, SilenceBeforeZeroAndPastTheEndWithAGrowingPosition) {
  SoundBuffer sound = bufferFrom(ramp(10, 2), 2);
  auto reader = sound.openReader();
  EXPECT_EQ(reader->length(), 10);
  EXPECT_EQ(reader->channels(), 2);
  EXPECT_EQ(reader->nominalPeak(), 1 << 21);
  reader->seek(-50);
  auto head = readFrames(*reader, 52);
  EXPECT_EQ(std::vector<Sample>(head.begin(), head.begin() + 100), std::vector<Sample>(100, 0));
  EXPECT_EQ(std::vector<Sample>(head.begin() + 100, head.end()), (std::vector<Sample>{1, 2, 3, 4}));
  EXPECT_EQ(reader->position(), 2);
  auto tail = readFrames(*reader, 20);
  EXPECT_EQ(tail[15], 20);  // frame 9, channel 1
  EXPECT_EQ(tail[16], 0);
  EXPECT_EQ(reader->position(), 22);
  readFrames(*reader, 5);
  EXPECT_EQ(reader->position(), 27);
}

TEST(BufferReader, SeekLandsInsideAnySpanAndTheCopyIgnoresLaterEdits) {
  SoundBuffer sound = bufferFrom(ramp(20, 1), 1);
  sound.deleteRange(5, 8);                          // spans 0-4 and 8-19
  ASSERT_TRUE(sound.insertSilence(2, 3));           // 0-1, silence, 2-4, 8-19
  auto reader = sound.openReader();
  sound.clear();                                    // the reader keeps its copy and blocks
  reader->seek(6);
  EXPECT_EQ(readFrames(*reader, 4), (std::vector<Sample>{4, 5, 9, 10}));
  reader->seek(3);
  EXPECT_EQ(readFrames(*reader, 3), (std::vector<Sample>{0, 0, 3}));
  reader->seek(100);
  EXPECT_EQ(readFrames(*reader, 2), (std::vector<Sample>{0, 0}));
  EXPECT_EQ(reader->position(), 102);
}

TEST(BlockWriter, ClosingPublishesOneUnitySpanWithTheWritersFormat) {
  SoundBuffer target;
  ASSERT_TRUE(target.insertSilence(0, 99));
  auto writer = target.openWriter(22050, 2);
  auto samples = ramp(1000, 2);
  writer->write(samples.data(), 600);
  EXPECT_EQ(target.totalFrames(), 99);  // unchanged until the writer is closed
  writer->write(samples.data() + 1200, 400);
  EXPECT_EQ(writer->position(), 1000);
  writer.reset();
  ASSERT_EQ(target.spans().size(), 1u);
  EXPECT_EQ(target.spans()[0].length(), 1000);
  EXPECT_EQ(target.spans()[0].gain(), kUnityGain);
  EXPECT_EQ(target.spans()[0].offset(), 0);
  EXPECT_EQ(target.sampleRate(), 22050);
  EXPECT_EQ(target.channels(), 2);
  EXPECT_EQ(coretest::readAllFrames(target), samples);
  EXPECT_EQ(blockRefCount(target.spans()[0].block()), 1);
}

TEST(BlockWriter, SeekingBackRewritesSamplesAndStartsAFreshPeakRecord) {
  SoundBuffer target;
  {
    auto writer = target.openWriter(8000, 1);
    std::vector<Sample> loud(600, 400000), quiet(100, 4096);
    writer->write(loud.data(), 600);
    writer->seek(300);
    writer->write(quiet.data(), 100);
    EXPECT_EQ(writer->close(), SourceStatus::Good);
  }
  ASSERT_EQ(target.totalFrames(), 400);
  auto all = coretest::readAllFrames(target);
  EXPECT_EQ(all[299], 400000);
  EXPECT_EQ(all[300], 4096);
  auto peaks = testkit::readAll(blockPeakPath(target.spans()[0].block()));
  ASSERT_GE(peaks.size(), 4u);
  EXPECT_EQ(peaks[0], 195);  // 400000 >> 11
  EXPECT_EQ(peaks[2], 2);    // the record rewritten after the seek holds only the quiet frames
}

TEST(SilenceSource, IsElevenKiloHertzMonoEmptyAndCarriesItsStatus) {
  auto silence = makeSilenceSource(SourceStatus::Corrupt);
  EXPECT_EQ(silence->sampleRate(), 11025);
  EXPECT_EQ(silence->channels(), 1);
  EXPECT_EQ(silence->length(), 0);
  EXPECT_EQ(silence->status(), SourceStatus::Corrupt);
  std::vector<Sample> out(4, 9);
  silence->read(out.data(), 4);
  EXPECT_EQ(out, std::vector<Sample>(4, 0));
}

TEST(SourceRef, TheLastHandleDestroysAndCloseCommitsOnce) {
  int commits = 0;
  struct CountingSink : SampleSink {
    explicit CountingSink(int* commits) : SampleSink(8000, 0), m_commits(commits) {}
    ~CountingSink() override { close(); }
    void write(const Sample*, int32_t) override {}
    void commit() override { ++*m_commits; }
    int* m_commits;
  };
  {
    SampleSinkRef a(new CountingSink(&commits));
    EXPECT_EQ(a->status(), SourceStatus::CannotCreate);  // made with 0 channels
    EXPECT_EQ(a->channels(), 1);
    SampleSinkRef b = a;
    EXPECT_EQ(a.useCount(), 2u);
    a.reset();
    EXPECT_EQ(commits, 0);
    b->close();
    EXPECT_EQ(commits, 1);
  }
  EXPECT_EQ(commits, 1);
}

}  // namespace
