// Saving through real encoders (Debian's lame, flac and oggenc stand in for
// the components, with the same command lines) and reading the files back
// with Debian's decoders.

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include "core/block_store.h"
#include "formats/sound_file_io.h"
#include "sys/file.h"
#include "sys/folders.h"
#include "testkit/memory_source.h"
#include "testkit/testkit.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

constexpr int32_t kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kFrames = 2 * kRate;

// 440 Hz on the left, 1 kHz on the right, at half scale, on 16-bit steps.
std::vector<Sample> twoTones(int32_t frames, int32_t rate) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * 2);
  for (int32_t f = 0; f < frames; ++f) {
    samples[2 * f] = 16 * static_cast<Sample>(std::lround(16383 * std::sin(2 * kPi * 440.0 * f / rate)));
    samples[2 * f + 1] = 16 * static_cast<Sample>(std::lround(16383 * std::sin(2 * kPi * 1000.0 * f / rate)));
  }
  return samples;
}

std::vector<int16_t> as16(const std::vector<Sample>& samples) {
  std::vector<int16_t> out(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) out[i] = static_cast<int16_t>(samples[i] / 16);
  return out;
}

// Signal-to-noise ratio in dB of decoded against reference, at the delay
// (0..maxLag frames) where they match best.
double bestSnrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded, int channels,
                 int maxLag) {
  double best = -1000;
  const size_t frames = reference.size() / channels;
  for (int lag = 0; lag <= maxLag; ++lag) {
    if (decoded.size() / channels <= frames / 2 + lag) break;
    const size_t common = std::min(frames, decoded.size() / channels - lag);
    double signal = 0, noise = 0;
    for (size_t i = 0; i < common * channels; ++i) {
      const double want = reference[i], got = decoded[i + static_cast<size_t>(lag) * channels];
      signal += want * want;
      noise += (want - got) * (want - got);
    }
    best = std::max(best, 10 * std::log10(signal / std::max(noise, 1e-9)));
  }
  return best;
}

class EncoderSave : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (blockFolder().empty()) {
      ASSERT_TRUE(setWorkingFolder(sys::joinPath(sys::tempFolder(), "zed-encoder-blocks")));
    }
  }
  void SetUp() override {
    context.settings = settings.get();
    context.findComponent = [this](const std::string& name) {
      auto found = programs.find(name);
      return found == programs.end() ? std::string() : found->second;
    };
    testkit::MemorySource source(twoTones(kFrames, kRate), 2, kRate);
    ASSERT_EQ(loadSourceIntoBuffer(source, sound), JobResult::Done);
  }
  // The folder holds exactly these names: no temporary file left behind.
  void expectOnlyFiles(std::vector<std::string> names) {
    std::vector<std::string> found = sys::listFiles(scratch.path());
    std::sort(found.begin(), found.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(found, names);
  }
  std::string original(const std::string& name) {
    std::string path = scratch.file(name);
    std::vector<uint8_t> bytes(5000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31);
    EXPECT_TRUE(testkit::writeAll(path, bytes));
    return path;
  }
  std::string script(const std::string& name, const std::string& body) {
    std::string path = scratch.file(name);
    std::string text = "#!/bin/sh\n" + body + "\n";
    EXPECT_TRUE(testkit::writeAll(path, std::vector<uint8_t>(text.begin(), text.end())));
    EXPECT_EQ(testkit::runTool("chmod +x " + path), 0);
    return path;
  }

  testkit::ScratchFolder scratch;
  std::unique_ptr<sys::SettingsStore> settings = sys::makeMemorySettingsStore();
  std::map<std::string, std::string> programs{
      {"mp3el", "/usr/bin/lame"}, {"flacenc", "/usr/bin/flac"}, {"oggenc", "/usr/bin/oggenc"}};
  FormatContext context;
  SoundBuffer sound;
};

TEST_F(EncoderSave, EveryEncodedFormatDecodesWithDebiansDecoders) {
  ZED_REQUIRE_TOOL("lame");
  ZED_REQUIRE_TOOL("mpg123");
  ZED_REQUIRE_TOOL("flac");
  ZED_REQUIRE_TOOL("oggenc");
  ZED_REQUIRE_TOOL("oggdec");
  const std::vector<int16_t> reference = as16(twoTones(kFrames, kRate));
  settings->write("OggEncoder", "Channels", "2");
  settings->write("FlacEncoder", "Channels", "2");

  ASSERT_EQ(saveSoundFile(sound, scratch.file("tones.mp3"), context), JobResult::Done);
  ASSERT_EQ(testkit::runTool("mpg123 -q -s " + scratch.file("tones.mp3") + " > " + scratch.file("mp3.raw")), 0);
  std::vector<int16_t> mp3 = testkit::readPcm16(scratch.file("mp3.raw"));
  const double mp3Snr = bestSnrDb(reference, mp3, 2, 2400);
  std::printf("MP3 128 kbps through mpg123: %.1f dB\n", mp3Snr);
  EXPECT_GT(mp3Snr, 20) << "a byte-swapped feed decodes as noise, far below";
  EXPECT_NEAR(static_cast<double>(mp3.size() / 2), kFrames, 1152);

  ASSERT_EQ(saveSoundFile(sound, scratch.file("tones.flac"), context), JobResult::Done);
  ASSERT_EQ(testkit::runTool("flac -s -d -f --force-raw-format --endian=little --sign=signed -o " +
                             scratch.file("flac.raw") + " " + scratch.file("tones.flac")),
            0);
  EXPECT_EQ(testkit::readPcm16(scratch.file("flac.raw")), reference) << "FLAC is lossless";

  ASSERT_EQ(saveSoundFile(sound, scratch.file("tones.ogg"), context), JobResult::Done);
  ASSERT_EQ(testkit::runTool("oggdec -Q -R -o " + scratch.file("ogg.raw") + " " + scratch.file("tones.ogg")), 0);
  std::vector<int16_t> ogg = testkit::readPcm16(scratch.file("ogg.raw"));
  const double oggSnr = bestSnrDb(reference, ogg, 2, 2400);
  std::printf("Ogg Vorbis quality 4 through oggdec: %.1f dB\n", oggSnr);
  EXPECT_GT(oggSnr, 20);
  EXPECT_NEAR(static_cast<double>(ogg.size() / 2), kFrames, 2048);
  expectOnlyFiles({"tones.mp3", "mp3.raw", "tones.flac", "flac.raw", "tones.ogg", "ogg.raw"});
}

TEST_F(EncoderSave, SavedBackAFileKeepsItsChannelsRateAndWidth) {
  ZED_REQUIRE_TOOL("flac");
  ZED_REQUIRE_TOOL("metaflac");
  ZED_REQUIRE_TOOL("sox");
  // The stored FLAC settings say mono at 22,050 Hz; a stereo 44,100 Hz FLAC
  // saved back keeps both.
  settings->write("FlacEncoder", "SampleRate", "22050");
  SinkRequest back;
  back.path = scratch.file("kept.flac");
  back.channelsOverride = sound.channels();
  back.sameFormat = true;
  ASSERT_EQ(saveSoundFile(sound, back, context), JobResult::Done);
  EXPECT_EQ(testkit::toolOutput("metaflac --show-channels --show-sample-rate " + back.path), "2\n44100\n");
  // A fresh Save As follows the settings.
  ASSERT_EQ(saveSoundFile(sound, scratch.file("new.flac"), context), JobResult::Done);
  EXPECT_EQ(testkit::toolOutput("metaflac --show-channels --show-sample-rate " + scratch.file("new.flac")),
            "1\n22050\n");

  // A 24-bit WAVE saved back stays 24-bit; a new one takes the stored choice (16).
  std::string wave = scratch.file("deep.wav");
  ASSERT_EQ(testkit::runTool("sox -V1 -n -r 44100 -c 2 -b 24 " + wave + " synth 0.5 sine 300"), 0);
  SinkRequest wave24;
  wave24.path = wave;
  wave24.keepWidthOf = wave;
  ASSERT_EQ(saveSoundFile(sound, wave24, context), JobResult::Done);
  EXPECT_EQ(testkit::toolOutput("soxi -b " + wave), "24\n");
  EXPECT_EQ(testkit::toolOutput("soxi -s " + wave), std::to_string(kFrames) + "\n");
  ASSERT_EQ(saveSoundFile(sound, scratch.file("plain.wav"), context), JobResult::Done);
  EXPECT_EQ(testkit::toolOutput("soxi -b " + scratch.file("plain.wav")), "16\n");
}

TEST_F(EncoderSave, APlaylistWritesItsMp3BesideIt) {
  ZED_REQUIRE_TOOL("lame");
  ZED_REQUIRE_TOOL("mpg123");
  settings->write("RSSEncode", "RootURL", "http://127.0.0.1/pod");
  ASSERT_EQ(saveSoundFile(sound, scratch.file("talk.m3u"), context), JobResult::Done);
  auto text = testkit::readAll(scratch.file("talk.m3u"));
  EXPECT_EQ(std::string(text.begin(), text.end()), "#EXTM3U\r\n#EXTINF:2,talk\r\nhttp://127.0.0.1/pod/talk.mp3\r\n");
  EXPECT_EQ(testkit::runTool("mpg123 -q -t " + scratch.file("talk.mp3")), 0);

  settings->write("RSSEncode", "RootURL", "");
  ASSERT_EQ(saveSoundFile(sound, scratch.file("talk.rss"), context), JobResult::Done);
  text = testkit::readAll(scratch.file("talk.rss"));
  const std::string feed(text.begin(), text.end());
  const std::string size = std::to_string(testkit::readAll(scratch.file("talk.mp3")).size());
  EXPECT_NE(feed.find("<enclosure url=\"talk.mp3\" length=\"" + size + "\" type=\"audio/mpeg\"/>"),
            std::string::npos) << feed;
  expectOnlyFiles({"talk.m3u", "talk.mp3", "talk.rss"});
}

TEST_F(EncoderSave, AFailedEncoderLeavesTheOriginalAsItWas) {
  ZED_REQUIRE_TOOL("sh");
  const std::string target = original("keep.mp3");
  const std::vector<uint8_t> before = testkit::readAll(target);
  // Reads everything, then fails; ends at once without reading; reads and
  // writes nothing.
  programs["mp3el"] = script("fails.sh", "cat > /dev/null; exit 3");
  EXPECT_EQ(saveSoundFile(sound, target, context), JobResult::Failed);
  programs["mp3el"] = script("leaves.sh", "exit 0");
  EXPECT_EQ(saveSoundFile(sound, target, context), JobResult::Failed);
  programs["mp3el"] = script("empty.sh", "cat > /dev/null");
  EXPECT_EQ(saveSoundFile(sound, target, context), JobResult::Failed);
  programs.erase("mp3el");
  EXPECT_EQ(saveSoundFile(sound, target, context), JobResult::Failed) << "no component";
  // A playlist whose MP3 fails leaves both the playlist and its MP3.
  const std::string list = original("keep.m3u");
  const std::vector<uint8_t> listBefore = testkit::readAll(list);
  programs["mp3el"] = script("fails-again.sh", "cat > /dev/null; exit 1");
  EXPECT_EQ(saveSoundFile(sound, list, context), JobResult::Failed);
  EXPECT_EQ(testkit::readAll(target), before);
  EXPECT_EQ(testkit::readAll(list), listBefore);
  expectOnlyFiles({"keep.mp3", "keep.m3u", "fails.sh", "leaves.sh", "empty.sh", "fails-again.sh"});
}

TEST_F(EncoderSave, CancelWhileTheEncoderFinishesEndsItAndKeepsTheOriginal) {
  ZED_REQUIRE_TOOL("sh");
  const std::string target = original("slow.mp3");
  const std::vector<uint8_t> before = testkit::readAll(target);
  programs["mp3el"] = script("slow.sh", "cat > /dev/null; sleep 60");
  // Cancels once the whole sound is written, i.e. during the wait.
  struct CancelAtTheEnd : ProgressCallback {
    bool progress(int64_t done, int64_t total) override { return done < total || ++waits < 5; }
    int waits = 0;
  } cancel;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(saveSoundFile(sound, target, context, &cancel), JobResult::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << "the encoder was ended";
  EXPECT_EQ(testkit::readAll(target), before);
  expectOnlyFiles({"slow.mp3", "slow.sh"});
}

TEST_F(EncoderSave, FinishingStepRunsOnTheCompleteFileBeforeItReplacesTheTarget) {
  const std::string target = original("tagged.wav");
  const std::vector<uint8_t> before = testkit::readAll(target);
  std::string seen;
  context.finishAudioFile = [&](const std::string& temporary, const std::string& final) {
    EXPECT_EQ(final, target);
    EXPECT_EQ(sys::folderOf(temporary), sys::folderOf(target));
    auto bytes = testkit::readAll(temporary);
    seen = std::string(bytes.begin(), bytes.begin() + 4);
    return false;  // e.g. the tags could not be written
  };
  EXPECT_EQ(saveSoundFile(sound, target, context), JobResult::Failed);
  EXPECT_EQ(seen, "RIFF");
  EXPECT_EQ(testkit::readAll(target), before);
  context.finishAudioFile = [](const std::string&, const std::string&) { return true; };
  EXPECT_EQ(saveSoundFile(sound, target, context), JobResult::Done);
  EXPECT_EQ(testkit::readAll(target).size(), 46u + kFrames * 4);
  expectOnlyFiles({"tagged.wav"});
}

#ifndef _WIN32
TEST_F(EncoderSave, AFullDiskHalfWayLeavesTheOriginalByteForByte) {
  const std::string target = original("big.wav");
  const std::vector<uint8_t> before = testkit::readAll(target);
  // No file of this process may grow past 64 KB: the save's writes fail there
  // as on a full disk.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 65536;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const JobResult result = saveSoundFile(sound, target, context);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, JobResult::Failed);
  EXPECT_EQ(testkit::readAll(target), before);
  expectOnlyFiles({"big.wav"});
}
#endif

}  // namespace
