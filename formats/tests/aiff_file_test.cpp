#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "testkit/file_images.h"
#include "testkit/testkit.h"

namespace {

using testkit::putBe16;
using testkit::putBe32;
using testkit::putText;

std::vector<Sample> readAllFrames(SampleSource& source) {
  std::vector<Sample> samples(static_cast<size_t>(source.length()) * source.channels());
  if (!samples.empty()) source.read(samples.data(), source.length());
  return samples;
}

SampleSourceRef openImage(const std::vector<uint8_t>& image) {
  return openAiffSource(std::make_unique<MemoryByteSource>(image));
}

// Three 16-bit big-endian samples: 0x0102, -32768, 32767.
const std::vector<uint8_t> kSoundBytes = {0x01, 0x02, 0x80, 0x00, 0x7F, 0xFF};

// An AIFF of kSoundBytes at 11,025 Hz, its frame count left 0 and its form
// size unknown (the reader walks to the end of the file), behind an
// odd-sized chunk whose pad byte must be skipped too.
testkit::AiffImage handMadeAiff() {
  testkit::AiffImage aiff;
  aiff.rateExponent = 0x400C;  // 11,025 = 0xAC440000 >> (30 - 12)
  aiff.rateMantissa = 0xAC440000;
  aiff.sampleFrames = 0;
  aiff.formBytes = 0;
  aiff.inFront = testkit::bigEndianChunk("ANNO", 3, 4);
  aiff.inFront[8 + 3] = 0;
  aiff.samples = kSoundBytes;
  return aiff;
}

std::string soxCommand(const std::string& arguments) { return "sox -D " + arguments + " 2>/dev/null"; }

TEST(AiffReader, ReadsSoxFilesWithTheSamplesSoxDecodes) {
  ZED_REQUIRE_TOOL("sox");
  struct Case {
    int bits;
    int channels;
    int rate;
    const char* type;  // sox's output type
  };
  const Case cases[] = {
      {8, 1, 11025, "aiff"},  {8, 2, 22050, "aiff"},  {16, 1, 22050, "aiff"}, {16, 2, 44100, "aiff"},
      {16, 1, 7350, "aiff"},  {24, 2, 48000, "aiff"}, {32, 1, 96000, "aiff"}, {16, 2, 8000, "aifc"},
  };
  testkit::ScratchFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bits) + " bits, " + std::to_string(c.channels) + " channels, " +
                 std::to_string(c.rate) + " Hz, " + c.type);
    const std::string file = folder.file("in.aiff");
    const std::string raw = folder.file("reference.raw");
    ASSERT_EQ(testkit::runTool(soxCommand("-n -r " + std::to_string(c.rate) + " -c " +
                                          std::to_string(c.channels) + " -b " + std::to_string(c.bits) +
                                          " -t " + c.type + " " + file + " synth 0.25 whitenoise vol 0.9")),
              0);
    ASSERT_EQ(testkit::runTool(soxCommand(file + " -t raw -e signed -b 32 " + raw)), 0);
    const std::vector<int32_t> reference = testkit::readPcm32(raw);

    SampleSourceRef source = openAiffSource(openFileBytes(file));
    ASSERT_TRUE(source->good()) << int(source->status());
    EXPECT_EQ(source->sampleRate(), c.rate);
    EXPECT_EQ(source->channels(), c.channels);
    ASSERT_EQ(static_cast<size_t>(source->length()) * c.channels, reference.size());
    const std::vector<Sample> samples = readAllFrames(*source);
    // Up to 24 bits a sample is exact to the top 20 bits; 32-bit samples are
    // rounded to them.
    size_t mismatches = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
      const int64_t error = int64_t{samples[i]} * 4096 - reference[i];
      const bool exact = c.bits <= 24 ? samples[i] == reference[i] >> 12 : error > -2048 && error <= 2048;
      if (!exact) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0u);
  }
}

TEST(AiffReader, FollowsTheChunkLayout) {
  const std::vector<Sample> expected = {0x0102 * 16, -32768 * 16, 32767 * 16};
  struct Case {
    const char* what;
    bool soundFirst;
    uint32_t soundOffset;
  };
  for (const Case& c : {Case{"comm first", false, 0}, Case{"sound chunk before comm", true, 0},
                        Case{"offset to the first frame", false, 6}}) {
    SCOPED_TRACE(c.what);
    testkit::AiffImage aiff = handMadeAiff();
    aiff.soundFirst = c.soundFirst;
    aiff.soundOffset = c.soundOffset;
    aiff.beforeSamples.assign(c.soundOffset, 0xEE);
    SampleSourceRef source = openImage(aiff.build());
    ASSERT_TRUE(source->good());
    EXPECT_EQ(source->sampleRate(), 11025);
    EXPECT_EQ(readAllFrames(*source), expected);
  }
}

TEST(AiffReader, WorksOutTheRateFromTheExtendedNumber) {
  struct Case {
    uint16_t exponent;
    uint32_t mantissaTop;
    int32_t rate;  // 0: refused as corrupt
  };
  const Case cases[] = {
      {0x400E, 0xAC440000, 44100},
      {0x3FFF, 0x80000000, 1},
      {0x4010, 0xBF680000, 196000},
      {0x4010, 0xBF684000, 0},     // 196,001: too fast
      {0x400B, 0xFA000000, 8000},
      {0x400B, 0xFA020000, 8000},  // 8,000.25 rounds down
      {0x400B, 0xFA040000, 8001},  // 8,000.5 rounds up
      {0x0000, 0x00000000, 0},     // zero
      {0x3FFE, 0x80000000, 0},     // one half
      {0xC00E, 0xAC440000, 0},     // negative
      {0x7FFF, 0xAC440000, 0},     // exponent far too large
      {0x410E, 0xAC440000, 0},     // right low byte, absurd high byte
      {0x401E, 0xFFFFFFFF, 0},     // 2^32 - 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.exponent) + " " + std::to_string(c.mantissaTop));
    testkit::AiffImage aiff = handMadeAiff();
    aiff.rateExponent = c.exponent;
    aiff.rateMantissa = c.mantissaTop;
    SampleSourceRef source = openImage(aiff.build());
    if (c.rate == 0) {
      EXPECT_EQ(source->status(), SourceStatus::Corrupt);
    } else {
      ASSERT_TRUE(source->good());
      EXPECT_EQ(source->sampleRate(), c.rate);
    }
  }
}

TEST(AiffReader, RefusesDamagedHeaders) {
  struct Case {
    uint16_t channels;
    uint16_t bits;
    const char* compression;
    SourceStatus status;
  };
  const Case cases[] = {
      {0, 16, nullptr, SourceStatus::Corrupt},  {256, 16, nullptr, SourceStatus::Corrupt},
      {255, 16, nullptr, SourceStatus::Good},   {1, 0, nullptr, SourceStatus::Corrupt},
      {1, 33, nullptr, SourceStatus::Corrupt},  {1, 12, nullptr, SourceStatus::Good},
      {1, 16, "NONE", SourceStatus::Good},      {1, 16, "ima4", SourceStatus::CodecMissing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.channels) + " channels, " + std::to_string(c.bits) + " bits");
    testkit::AiffImage aiff = handMadeAiff();
    aiff.channels = c.channels;
    aiff.bits = c.bits;
    if (c.compression) aiff.formType = "AIFC", aiff.compression = c.compression;
    EXPECT_EQ(openImage(aiff.build())->status(), c.status);
  }

  std::vector<uint8_t> notAiff = handMadeAiff().build();
  notAiff[8] = 'W';
  EXPECT_EQ(openImage(notAiff)->status(), SourceStatus::Corrupt);
  EXPECT_EQ(openAiffSource(nullptr)->status(), SourceStatus::CannotOpen);
}

TEST(AiffWriter, WritesFilesThatSoxReadsWithTheSameSamplesAndRate) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::string file = folder.file("out.aiff");
  const std::string raw = folder.file("decoded.raw");
  for (int rate : {8000, 11025, 22050, 44100, 196000}) {
    for (int channels : {1, 2}) {
      SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(channels) + " channels");
      // 16-bit values spread over the whole range; the first two are past
      // full scale and must clip.
      std::vector<int16_t> expected;
      std::vector<Sample> samples;
      for (int i = 0; i < 3001 * channels; ++i) {
        expected.push_back(static_cast<int16_t>(i * 7919 % 65536 - 32768));
        samples.push_back(expected.back() * 16);
      }
      expected[0] = 32767, samples[0] = 3 * kSampleFullScale;
      expected[1] = -32768, samples[1] = -3 * kSampleFullScale;
      {
        SampleSinkRef sink = makeAiffSink(file, rate, channels);
        sink->write(samples.data(), 1000);
        sink->write(samples.data() + 1000 * channels, 2001);
        EXPECT_EQ(sink->close(), SourceStatus::Good);
      }
      const std::vector<uint8_t> bytes = testkit::readAll(file);
      ASSERT_EQ(bytes.size(), 54u + 3001u * 2 * channels);
      EXPECT_EQ(be32(bytes.data() + 4), bytes.size() - 8);
      EXPECT_EQ(be32(bytes.data() + 22), 3001u);
      EXPECT_EQ(be32(bytes.data() + 42), bytes.size() - 46);

      EXPECT_EQ(testkit::toolOutput("soxi -r " + file), std::to_string(rate) + "\n");
      EXPECT_EQ(testkit::toolOutput("soxi -c " + file), std::to_string(channels) + "\n");
      ASSERT_EQ(testkit::runTool(soxCommand(file + " -t raw -e signed -b 16 " + raw)), 0);
      EXPECT_TRUE(testkit::readPcm16(raw) == expected);
    }
  }
}

TEST(AiffWriter, AnUnfinishedFileReadsUpToItsEndAndTheFinishedOneMatchesIt) {
  testkit::ScratchFolder folder;
  const std::string file = folder.file("recording.aiff");
  std::vector<Sample> samples;
  for (int i = 0; i < 2 * 500; ++i) samples.push_back((i % 200 - 100) * 16);
  SampleSinkRef sink = makeAiffSink(file, 22050, 2);
  sink->write(samples.data(), 500);

  // What a crash now would leave behind.
  SampleSourceRef unfinished = openImage(testkit::readAll(file));
  ASSERT_TRUE(unfinished->good());
  EXPECT_EQ(unfinished->sampleRate(), 22050);
  EXPECT_EQ(readAllFrames(*unfinished), samples);

  EXPECT_EQ(sink->close(), SourceStatus::Good);
  SampleSourceRef finished = openAiffSource(openFileBytes(file));
  ASSERT_TRUE(finished->good());
  EXPECT_EQ(readAllFrames(*finished), samples);
}

TEST(AiffWriter, RefusesToGrowPastTheLimitOfItsSizes) {
  testkit::ScratchFolder folder;
  const std::string file = folder.file("big.aiff");
  std::vector<Sample> samples(2 * 100, 160);
  SampleSinkRef sink = makeAiffSink(file, 44100, 2);
  sink->write(samples.data(), 100);
  ASSERT_TRUE(sink->good());
  // 2^30 stereo frames are 4 GiB of samples: the request is refused as a
  // whole, before any of its samples is read.
  sink->write(samples.data(), 1 << 30);
  EXPECT_EQ(sink->status(), SourceStatus::CannotCreate);
  EXPECT_TRUE(sink->full());
  EXPECT_EQ(sink->close(), SourceStatus::CannotCreate);

  // What was written before stays a valid file.
  const std::vector<uint8_t> bytes = testkit::readAll(file);
  ASSERT_EQ(bytes.size(), 54u + 400u);
  EXPECT_EQ(be32(bytes.data() + 4), bytes.size() - 8);
  SampleSourceRef source = openImage(bytes);
  EXPECT_EQ(readAllFrames(*source), samples);
}

}  // namespace
