// Compressed WAVE files that sox writes (IMA and MS ADPCM, GSM 6.10, mu-law,
// A-law), read through the platform's codecs and compared with sox's own
// decoding cut at the file's "fact" count. Natively the files are made at
// test time; the Windows build cannot run sox, so they are made when the
// tests are built (tests/data/make_compressed_waves.sh).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "formats/sound_file_io.h"
#include "core/block_store.h"
#include "sys/folders.h"
#include "testkit/file_images.h"
#include "testkit/testkit.h"

namespace {

const char* const kNames[] = {"ima-adpcm", "ms-adpcm", "gsm610", "mu-law", "a-law"};

struct Reference {
  std::string wave;
  std::vector<int16_t> samples;  // sox's decoding, cut at the sound's length
  // MS ADPCM only: a decoding that rounds predictions towards zero, as some
  // system codecs do (Wine's); empty for the other formats.
  std::vector<int16_t> towardZero;
  int32_t frames = 0;
};

// The folder of the files; empty (and the test skipped) when they cannot be had.
std::string referenceFolder(testkit::ScratchFolder& scratch) {
#ifdef ZED_COMPRESSED_WAVES_DIR
  return ZED_COMPRESSED_WAVES_DIR;
#else
  if (!testkit::needTool("sox")) return {};
  if (testkit::runTool(std::string("bash '") + ZED_COMPRESSED_WAVES_SCRIPT + "' '" + scratch.path() + "'") != 0)
    return {};
  return scratch.path();
#endif
}

Reference loadReference(const std::string& folder, const std::string& name) {
  Reference r;
  r.wave = folder + "/" + name + ".wav";
  r.samples = testkit::readPcm16(folder + "/" + name + ".raw");
  if (name == "ms-adpcm") r.towardZero = testkit::readPcm16(folder + "/" + name + ".toward-zero.raw");
  std::ifstream count(folder + "/" + name + ".frames");
  count >> r.frames;
  return r;
}

std::vector<Sample> readFrames(SampleSource& source, int32_t frames) {
  std::vector<Sample> out(static_cast<size_t>(frames) * source.channels());
  source.read(out.data(), frames);
  return out;
}

// Index of the first sample where decoded differs from reference x 16, or -1.
long firstDifference(const std::vector<Sample>& decoded, const std::vector<int16_t>& reference, size_t from = 0) {
  for (size_t i = 0; i < reference.size() && from + i < decoded.size(); ++i)
    if (decoded[from + i] != reference[i] * 16) return static_cast<long>(from + i);
  return -1;
}

// Frames from first on, of the reference that the codec follows: sox's, or
// for MS ADPCM the decoding that rounds towards zero when sox's does not fit.
std::vector<int16_t> expectedFrom(const Reference& r, const std::vector<Sample>& decoded, int channels,
                                  int32_t first = 0) {
  auto tail = [&](const std::vector<int16_t>& all) {
    return std::vector<int16_t>(all.begin() + static_cast<long>(first) * channels, all.end());
  };
  std::vector<int16_t> sox = tail(r.samples);
  if (r.towardZero.empty() || firstDifference(decoded, sox) == -1) return sox;
  return tail(r.towardZero);
}

class CompressedWave : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = referenceFolder(m_scratch);
    if (m_folder.empty()) GTEST_SKIP() << "no sox to make the files";
  }
  // The source, or null when this platform has no codec for the file.
  SampleSourceRef open(const Reference& r) {
    auto source = openWaveSource(openFileBytes(r.wave));
    if (source->status() == SourceStatus::CodecMissing) return {};
    return source;
  }
  testkit::ScratchFolder m_scratch;
  std::string m_folder;
};

TEST_F(CompressedWave, DecodesLikeSoxAndEndsAtTheFactCount) {
  int decodedFiles = 0;
  for (const char* name : kNames) {
    SCOPED_TRACE(name);
    Reference r = loadReference(m_folder, name);
    ASSERT_GT(r.frames, 0);
    auto source = open(r);
    if (!source) continue;
    ASSERT_TRUE(source->good()) << static_cast<int>(source->status());
    ++decodedFiles;
    ASSERT_EQ(r.samples.size(), static_cast<size_t>(r.frames) * source->channels());
    // Known before anything is decoded, so a load reads exactly the sound.
    EXPECT_EQ(source->length(), r.frames);
    // Past the end comes silence, not the codec's padding of the last block.
    auto decoded = readFrames(*source, r.frames + 4000);
    // Every block decodes the same way, the last, partly filled one too.
    EXPECT_EQ(firstDifference(decoded, expectedFrom(r, decoded, source->channels())), -1);
    EXPECT_TRUE(std::all_of(decoded.begin() + static_cast<long>(r.samples.size()), decoded.end(),
                            [](Sample s) { return s == 0; }));
    EXPECT_EQ(source->length(), r.frames);
    EXPECT_EQ(source->position(), r.frames + 4000);
    EXPECT_EQ(source->damage(), SourceStatus::Good);
  }
  // The system's codecs decode all five; the portable build has none.
  if (!testkit::hostToolsRunHere()) {
    EXPECT_EQ(decodedFiles, 5);
  }
  if (decodedFiles == 0) GTEST_SKIP() << "no codecs for these formats here";
}

TEST_F(CompressedWave, SeeksIntoTheLastBlockAndBeforeTheStart) {
  int decodedFiles = 0;
  for (const char* name : kNames) {
    SCOPED_TRACE(name);
    Reference r = loadReference(m_folder, name);
    auto source = open(r);
    if (!source) continue;
    ASSERT_TRUE(source->good()) << static_cast<int>(source->status());
    const int channels = source->channels();
    for (int32_t target : {r.frames - 300, r.frames / 2 + 17, 1}) {
      SCOPED_TRACE(target);
      source->seek(target);
      auto decoded = readFrames(*source, r.frames - target);
      const auto expected = expectedFrom(r, decoded, channels, target);
      // Seeking restarts the codec a few blocks before the target. ADPCM
      // blocks start afresh, so the samples come out the same. GSM's filters
      // carry their state from block to block, and a restart leaves them a
      // little off (by at most a few steps of 16 bits), never more.
      if (std::string(name) != "gsm610") {
        EXPECT_EQ(firstDifference(decoded, expected), -1);
        continue;
      }
      ASSERT_EQ(decoded.size(), expected.size());
      int worst = 0;
      for (size_t i = 0; i < expected.size(); ++i) worst = std::max(worst, std::abs(decoded[i] / 16 - expected[i]));
      EXPECT_LE(worst, 128);
    }
    ++decodedFiles;
    source->seek(-5);
    auto head = readFrames(*source, 10);
    EXPECT_TRUE(std::all_of(head.begin(), head.begin() + 5L * channels, [](Sample s) { return s == 0; }));
    // The first five frames, of the reference this codec follows.
    const std::vector<Sample> firstFive(head.begin() + 5L * channels, head.end());
    const auto expectedHead = expectedFrom(r, firstFive, channels);
    EXPECT_EQ(firstDifference(head, std::vector<int16_t>(expectedHead.begin(), expectedHead.begin() + 5L * channels),
                              5L * channels),
              -1);
    EXPECT_EQ(source->length(), r.frames);
  }
  if (decodedFiles == 0) GTEST_SKIP() << "no codecs for these formats here";
}

TEST_F(CompressedWave, WithoutAFactChunkTheWholeDecodingIsLoaded) {
  // The length is then an estimate until the end is decoded; a load does not
  // stop at the estimate.
  if (blockFolder().empty()) {
    ASSERT_TRUE(setWorkingFolder(sys::joinPath(sys::tempFolder(), "zed-formats-blocks")));
  }
  Reference r = loadReference(m_folder, "ima-adpcm");
  auto bytes = testkit::readAll(r.wave);
  const auto fact = std::search(bytes.begin(), bytes.end(), std::begin("fact"), std::end("fact") - 1);
  ASSERT_NE(fact, bytes.end());
  std::copy_n("junk", 4, fact);
  const std::string unstated = m_scratch.file("unstated.wav");
  ASSERT_TRUE(testkit::writeAll(unstated, bytes));
  auto probe = openWaveSource(openFileBytes(unstated));
  if (probe->status() == SourceStatus::CodecMissing) GTEST_SKIP() << "no IMA ADPCM codec here";
  SoundBuffer sound;
  ASSERT_EQ(loadSoundFile(unstated, FormatContext{}, sound), JobResult::Done);
  // Every block the file holds, padding of the last one included.
  EXPECT_EQ(sound.totalFrames(), (22528 / 256) * 505);
  auto reader = sound.openReader();
  std::vector<Sample> decoded(static_cast<size_t>(r.frames));
  reader->read(decoded.data(), r.frames);
  EXPECT_EQ(firstDifference(decoded, r.samples), -1);
}

TEST_F(CompressedWave, ACutOffFileEndsWhereItsDataEnds) {
  // The "fact" count promises more than a cut-off file holds: the length
  // follows what decodes, and nothing past it is made up.
  Reference r = loadReference(m_folder, "ima-adpcm");
  auto bytes = testkit::readAll(r.wave);
  const size_t keep = bytes.size() - 256 * 10 - 100;
  bytes.resize(keep);
  const std::string cut = m_scratch.file("cut.wav");
  ASSERT_TRUE(testkit::writeAll(cut, bytes));
  auto source = openWaveSource(openFileBytes(cut));
  if (source->status() == SourceStatus::CodecMissing) GTEST_SKIP() << "no IMA ADPCM codec here";
  ASSERT_TRUE(source->good());
  auto decoded = readFrames(*source, r.frames);
  // Whole blocks of 505 samples survive; the partial one is dropped.
  const int32_t survivors = source->length();
  EXPECT_LT(survivors, r.frames);
  EXPECT_GT(survivors, r.frames - 505 * 12);
  EXPECT_EQ(firstDifference(std::vector<Sample>(decoded.begin(), decoded.begin() + survivors), r.samples), -1);
  // The user is told that the end is missing.
  EXPECT_EQ(source->damage(), SourceStatus::Corrupt);
}

}  // namespace
