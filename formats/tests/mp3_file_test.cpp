// MP3 files that Debian's lame writes, opened by our reader and compared
// with Debian's mpg123 decoding the same files, and with the source WAVE:
// with the encoder's delay and padding removed the length is the input's.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "testkit/testkit.h"

namespace {

struct Encoding {
  int rate;
  int channels;
  const char* lameOptions;
};

// Rates from 8 kHz (MPEG-2.5) through 22.05 kHz (MPEG-2) to 48 kHz
// (MPEG-1); mono, plain and joint stereo; constant and variable bit rates.
const Encoding kEncodings[] = {
    {8000, 1, "-m m -b 24"},       {11025, 1, "-m m -V 5"},   {12000, 2, "-m j -b 32"},
    {16000, 2, "-m s -b 48"},      {22050, 2, "-m j -V 2"},   {24000, 1, "-m m -b 64"},
    {32000, 2, "-m s -b 128"},     {44100, 2, "-m j -b 192"}, {44100, 2, "-m j -V 0"},
    {44100, 1, "-m m -V 7"},       {48000, 2, "-m s -b 320"}, {48000, 2, "-m j --abr 160"},
};

std::string describe(const Encoding& e) {
  return std::to_string(e.rate) + " Hz, " + std::to_string(e.channels) + " ch, " + e.lameOptions;
}

TEST(Mp3Reader, LameFilesDecodeLikeMpg123WithTheSourceLength) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("lame");
  ZED_REQUIRE_TOOL("mpg123");
  testkit::ScratchFolder folder;
  const std::string wave = folder.file("in.wav"), mp3 = folder.file("in.mp3"), pcm = folder.file("out.raw");
  for (const Encoding& e : kEncodings) {
    SCOPED_TRACE(describe(e));
    // 1.37 s: a length that fills no frame exactly. A sweep with noise on
    // top, so that every band carries something.
    const std::string make = "sox -n -r " + std::to_string(e.rate) + " -c " + std::to_string(e.channels) +
                             " -b 16 '" + wave + "' synth 1.37 sine 200-3000 synth pinknoise mix gain -6 2>/dev/null";
    ASSERT_EQ(testkit::runTool(make), 0);
    ASSERT_EQ(testkit::runTool("lame --quiet --resample " + std::to_string(e.rate / 1000.0) + " " + e.lameOptions +
                               " '" + wave + "' '" + mp3 + "'"),
              0);
    ASSERT_EQ(testkit::runTool("mpg123 -q -s '" + mp3 + "' > '" + pcm + "'"), 0);
    const auto reference = testkit::readPcm16(pcm);
    const int64_t waveFrames = std::atoll(testkit::toolOutput("soxi -s '" + wave + "'").c_str());

    auto source = openMp3Source(openFileBytes(mp3));
    ASSERT_TRUE(source->good());
    EXPECT_EQ(source->sampleRate(), e.rate);
    EXPECT_EQ(source->channels(), e.channels);
    EXPECT_EQ(source->length(), waveFrames);
    EXPECT_EQ(static_cast<size_t>(source->length()) * e.channels, reference.size());

    // Read in uneven pieces; every sample within one step of mpg123's.
    std::vector<Sample> all(static_cast<size_t>(source->length()) * e.channels);
    for (int32_t at = 0, piece = 777; at < source->length(); at += piece, piece = piece * 3 % 5000 + 1)
      source->read(all.data() + static_cast<size_t>(at) * e.channels, std::min(piece, source->length() - at));
    int worst = 0;
    for (size_t i = 0; i < all.size() && i < reference.size(); ++i)
      worst = std::max(worst, std::abs((all[i] >> 4) - reference[i]));
    EXPECT_LE(worst, 1);
  }
}

TEST(Mp3Reader, LayerTwoFilesDecodeLikeMpg123) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("mpg123");
  testkit::ScratchFolder folder;
  const std::string mp2 = folder.file("tone.mp2"), pcm = folder.file("tone.raw");
  for (const char* layout : {"-r 44100 -c 2", "-r 32000 -c 1", "-r 24000 -c 2"}) {
    SCOPED_TRACE(layout);
    // sox writes Layer II through twolame.
    ASSERT_EQ(testkit::runTool(std::string("sox -n ") + layout + " '" + mp2 + "' synth 0.9 sine 300-900 2>/dev/null"), 0);
    ASSERT_EQ(testkit::runTool("mpg123 -q -s '" + mp2 + "' > '" + pcm + "'"), 0);
    const auto reference = testkit::readPcm16(pcm);
    auto source = openMp3Source(openFileBytes(mp2));
    ASSERT_TRUE(source->good());
    ASSERT_EQ(static_cast<size_t>(source->length()) * source->channels(), reference.size());
    std::vector<Sample> all(reference.size());
    source->read(all.data(), source->length());
    size_t differing = 0;
    for (size_t i = 0; i < all.size(); ++i) differing += std::abs((all[i] >> 4) - reference[i]) > 1;
    EXPECT_EQ(differing, 0u);
  }
}

struct RecordingUi : FileUi {
  std::vector<std::string> errors;
  void showError(const std::string& text) override { errors.push_back(text); }
  bool chooseRawFormat(const std::string&, RawFormat&) override { return true; }
};

TEST(Mp3Reader, FilesThatCannotBeReadGetTheMpegMessages) {
  testkit::ScratchFolder folder;
  RecordingUi ui;
  FormatContext context;
  context.ui = &ui;
  const std::string text = folder.file("notes.mp3"), gone = folder.file("gone.mp3");
  ASSERT_TRUE(testkit::writeAll(text, std::vector<uint8_t>(3000, 'x')));
  EXPECT_EQ(openSoundFile(text, context).result, 2);
  EXPECT_EQ(openSoundFile(gone, context).result, 2);
  ASSERT_EQ(ui.errors.size(), 2u);
  EXPECT_EQ(ui.errors[0], "Cannot open the file \"" + text + "\". It is possibly either corrupt or not a true layer-3 MPEG file.");
  EXPECT_EQ(ui.errors[1], "Cannot open the file \"" + gone + "\". Check it exists and you have read access.");
}

TEST(Mp3Reader, ALameFileOpensThroughTheDispatcherWithoutAMessage) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("lame");
  testkit::ScratchFolder folder;
  RecordingUi ui;
  FormatContext context;
  context.ui = &ui;
  const std::string song = folder.file("tone.mp3");
  ASSERT_EQ(testkit::runTool("sox -n -r 44100 -c 2 -b 16 -t wav - synth 0.5 sine 440 2>/dev/null | lame --quiet - '" +
                             song + "'"),
            0);
  OpenedSound opened = openSoundFile(song, context);
  EXPECT_EQ(opened.result, 0);
  EXPECT_EQ(opened.source->length(), 22050);
  EXPECT_TRUE(ui.errors.empty());
}

}  // namespace
