#include "formats/sound_file_io.h"

#include <gtest/gtest.h>

#include "core/block_store.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

class SoundFileIo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (blockFolder().empty()) {
      ASSERT_TRUE(setWorkingFolder(sys::joinPath(sys::tempFolder(), "zed-formats-blocks")));
    }
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

namespace {

struct WarningsUi : FileUi {
  void showError(const std::string& text) override { errors.push_back(text); }
  void showWarning(const std::string& text) override { warnings.push_back(text); }
  bool chooseRawFormat(const std::string&, RawFormat&) override { return true; }
  std::vector<std::string> errors, warnings;
};

TEST_F(SoundFileIo, DamagedFilesOpenWithWhatIsThereAndOneWarning) {
  WarningsUi ui;
  FormatContext warned{nullptr, &ui, ""};
  const std::vector<Sample> samples = {16, -32, 48, -64, 80, -96};
  const std::string whole = scratch.file("whole.wav");
  {
    auto sink = makeWavePcmSink(whole, 8000, 1, 2);
    sink->write(samples.data(), 6);
  }
  auto bytes = testkit::readAll(whole);
  // Cut off after 4 of its 6 frames, with a header that still says 6.
  const std::string cut = scratch.file("cut.wav");
  testkit::writeAll(cut, std::vector<uint8_t>(bytes.begin(), bytes.end() - 4));
  // A recording that was never closed says 0xFFFFFFFF: that is no damage.
  const std::string unclosed = scratch.file("unclosed.wav");
  auto open = bytes;
  for (size_t i = 42; i < 46; ++i) open[i] = 0xFF;
  testkit::writeAll(unclosed, open);

  struct Case {
    std::string path;
    int64_t frames;
    bool warned;
  } cases[] = {{whole, 6, false}, {cut, 4, true}, {unclosed, 6, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ui.warnings.clear();
    SoundBuffer sound;
    ASSERT_EQ(loadSoundFile(c.path, warned, sound), JobResult::Done);
    EXPECT_EQ(sound.totalFrames(), c.frames);
    EXPECT_TRUE(ui.errors.empty());
    if (!c.warned) {
      EXPECT_TRUE(ui.warnings.empty());
      continue;
    }
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_EQ(ui.warnings[0], damagedFileMessage(c.path));
    EXPECT_NE(ui.warnings[0].find("is damaged"), std::string::npos);
  }
}

TEST_F(SoundFileIo, AnMp3CutOffInAFrameOpensWithAWarning) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("lame");
  const std::string wave = scratch.file("in.wav"), mp3 = scratch.file("in.mp3"), cut = scratch.file("cut.mp3");
  ASSERT_EQ(testkit::runTool("sox -V1 -n -r 44100 -c 2 -b 16 '" + wave + "' synth 3 sine 300-900"), 0);
  ASSERT_EQ(testkit::runTool("lame --quiet -b 128 '" + wave + "' '" + mp3 + "'"), 0);
  auto bytes = testkit::readAll(mp3);
  bytes.resize(bytes.size() * 2 / 3 + 101);
  testkit::writeAll(cut, bytes);
  WarningsUi ui;
  FormatContext warned{nullptr, &ui, ""};
  for (const std::string& path : {mp3, cut}) {
    SCOPED_TRACE(path);
    ui.warnings.clear();
    SoundBuffer sound;
    ASSERT_EQ(loadSoundFile(path, warned, sound), JobResult::Done);
    EXPECT_GT(sound.totalFrames(), 44100);
    EXPECT_EQ(ui.warnings.size(), path == cut ? 1u : 0u);
  }
}

}  // namespace
