#include "cd/track_ripper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cd/disc_image_drive.h"
#include "testkit/block_store_environment.h"
#include "testkit/testkit.h"

namespace {

[[maybe_unused]] const bool blocks = testkit::useBlockStoreFolder("cd-blocks");

// A known stereo signal: each channel a different, non-repeating ramp.
int16_t leftAt(int64_t frame) { return static_cast<int16_t>((frame * 7) % 65536 - 32768); }
int16_t rightAt(int64_t frame) { return static_cast<int16_t>(32767 - (frame * 13) % 65536); }

std::vector<uint8_t> imageBytes(int64_t firstFrame, int32_t sectors) {
  std::vector<uint8_t> bytes;
  for (int64_t f = firstFrame; f < firstFrame + int64_t{sectors} * cd::kFramesPerSector; ++f)
    for (int16_t v : {leftAt(f), rightAt(f)}) {
      bytes.push_back(static_cast<uint8_t>(v & 0xFF));
      bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
  return bytes;
}

std::vector<Sample> samplesOf(const SoundBuffer& sound) {
  std::vector<Sample> samples(size_t(sound.totalFrames()) * sound.channels());
  sound.openReader()->read(samples.data(), sound.totalFrames());
  return samples;
}

// The drive a real one would be: records every request, fails or holds
// reads on demand.
class ScriptedDrive : public cd::CdDrive {
 public:
  std::string name() const override { return "scripted"; }
  bool readTableOfContents(cd::TableOfContents&) override { return false; }
  bool startRead(int32_t first, int32_t count, uint8_t* destination) override {
    reads.push_back({first, count});
    inFlight = true;
    std::vector<uint8_t> bytes = imageBytes(int64_t{first} * cd::kFramesPerSector, count);
    std::memcpy(destination, bytes.data(), bytes.size());
    return true;
  }
  cd::ReadWait waitRead(uint32_t, cd::ReadWaiter&) override {
    inFlight = false;
    return int(reads.size()) == failOnRead ? cd::ReadWait::Failed : cd::ReadWait::Done;
  }
  void abandonRead() override {
    inFlight = false;
    ++abandoned;
  }
  std::vector<std::pair<int32_t, int32_t>> reads;
  int failOnRead = -1;
  bool inFlight = false;
  int abandoned = 0;
};

class CancelAfter : public cd::RipProgress {
 public:
  explicit CancelAfter(int64_t sectors) : m_limit(sectors) {}
  bool cancelled() override { return m_done >= m_limit; }
  void setProgress(int64_t done, int64_t total) override {
    m_done = done;
    lastTotal = total;
  }
  int64_t lastTotal = 0;

 private:
  int64_t m_limit;
  int64_t m_done = 0;
};

TEST(TrackRipper, ReadsAShortFirstChunkThenLargerOnes) {
  struct Case {
    int32_t sectors;
    std::vector<int32_t> counts;
  };
  const Case cases[] = {{5, {5}}, {13, {13}}, {14, {13, 1}}, {40, {13, 27}}, {100, {13, 27, 27, 27, 6}}};
  for (const Case& c : cases) {
    ScriptedDrive drive;
    SoundBuffer sound;
    CancelAfter never(INT64_MAX);
    ASSERT_EQ(cd::ripTrack(drive, 1000, 1000 + c.sectors, sound, never), 0);
    std::vector<int32_t> counts;
    int32_t expectedFirst = 1000;
    for (auto [first, count] : drive.reads) {
      EXPECT_EQ(first, expectedFirst);
      expectedFirst += count;
      counts.push_back(count);
    }
    EXPECT_EQ(counts, c.counts) << c.sectors;
    EXPECT_EQ(sound.totalFrames(), c.sectors * cd::kFramesPerSector);
    EXPECT_EQ(never.lastTotal, c.sectors);
  }
}

TEST(TrackRipper, FailureOrCancelLeavesTheSoundAndNoReadInFlight) {
  ScriptedDrive failing;
  failing.failOnRead = 3;
  SoundBuffer sound(8000, 1);
  CancelAfter never(INT64_MAX);
  EXPECT_EQ(cd::ripTrack(failing, 0, 200, sound, never), 2);
  EXPECT_EQ(failing.reads.size(), 3u);
  EXPECT_EQ(sound.totalFrames(), 0);
  EXPECT_EQ(sound.sampleRate(), 8000);

  ScriptedDrive cancelled;
  CancelAfter afterTwoChunks(40);
  EXPECT_EQ(cd::ripTrack(cancelled, 0, 200, sound, afterTwoChunks), 1);
  EXPECT_FALSE(cancelled.inFlight);
  EXPECT_EQ(cancelled.abandoned, 1);
  EXPECT_EQ(sound.totalFrames(), 0);

  ScriptedDrive empty;
  EXPECT_EQ(cd::ripTrack(empty, 500, 500, sound, never), 2);
  EXPECT_TRUE(empty.reads.empty());
}

TEST(DiscImage, RipsExactlyTheSamplesOfTheImage) {
  testkit::ScratchFolder folder;
  // Three tracks of 100, 7 and 250 sectors in one image.
  const int32_t starts[] = {0, 100, 107, 357};
  ASSERT_TRUE(testkit::writeAll(folder.file("my disc.bin"), imageBytes(0, starts[3])));
  std::string cue =
      "REM made by the test\r\nFILE \"my disc.bin\" BINARY\r\n"
      "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
      "  TRACK 02 AUDIO\r\n    INDEX 00 00:01:00\r\n    INDEX 01 00:01:25\r\n"
      "  TRACK 03 AUDIO\r\n    INDEX 01 00:01:32\r\n";
  ASSERT_TRUE(testkit::writeAll(folder.file("my disc.cue"), std::vector<uint8_t>(cue.begin(), cue.end())));

  std::string reason;
  auto drive = cd::DiscImageDrive::open(folder.file("my disc.cue"), reason);
  ASSERT_TRUE(drive) << reason;
  EXPECT_EQ(drive->name(), "Disc image: my disc.cue");
  cd::TableOfContents toc;
  ASSERT_TRUE(drive->readTableOfContents(toc));
  EXPECT_EQ(toc.addresses, std::vector<int32_t>(std::begin(starts), std::end(starts)));

  for (int track = 0; track < 3; ++track) {
    SoundBuffer sound;
    CancelAfter never(INT64_MAX);
    ASSERT_EQ(cd::ripTrack(*drive, starts[track], starts[track + 1], sound, never), 0);
    EXPECT_EQ(sound.sampleRate(), 44100);
    ASSERT_EQ(sound.channels(), 2);
    std::vector<Sample> samples = samplesOf(sound);
    int64_t firstFrame = int64_t{starts[track]} * cd::kFramesPerSector;
    ASSERT_EQ(samples.size(), size_t(starts[track + 1] - starts[track]) * cd::kFramesPerSector * 2);
    for (size_t f = 0; f < samples.size() / 2; ++f) {
      ASSERT_EQ(samples[2 * f], leftAt(firstFrame + f) * 16) << track << " " << f;
      ASSERT_EQ(samples[2 * f + 1], rightAt(firstFrame + f) * 16) << track << " " << f;
    }
  }
  // Past the lead-out nothing is read.
  SoundBuffer sound;
  CancelAfter never(INT64_MAX);
  EXPECT_EQ(cd::ripTrack(*drive, 300, 400, sound, never), 2);
}

TEST(DiscImage, SheetsThatCannotBeReadAreRefusedWithAReason) {
  testkit::ScratchFolder folder;
  ASSERT_TRUE(testkit::writeAll(folder.file("a.bin"), imageBytes(0, 10)));
  const char* sheets[] = {
      "FILE \"a.bin\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
      "FILE \"a.bin\" BINARY\nTRACK 01 MODE1/2048\nINDEX 01 00:00:00\n",
      "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:01:00\n",  // starts past the 10 sectors
      "FILE \"missing.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
      "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n",
      "FILE \"a.bin\" BINARY\n",
      "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:09\nTRACK 02 AUDIO\nINDEX 01 00:00:02\n",
      "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:61:00\n",
  };
  for (const char* sheet : sheets) {
    std::string text = sheet;
    ASSERT_TRUE(testkit::writeAll(folder.file("a.cue"), std::vector<uint8_t>(text.begin(), text.end())));
    std::string reason;
    EXPECT_FALSE(cd::DiscImageDrive::open(folder.file("a.cue"), reason)) << sheet;
    EXPECT_FALSE(reason.empty()) << sheet;
  }
  std::string reason;
  EXPECT_FALSE(cd::DiscImageDrive::open(folder.file("none.cue"), reason));
}

}  // namespace
