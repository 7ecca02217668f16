#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "testkit/file_images.h"
#include "testkit/testkit.h"

namespace {

std::vector<int16_t> readAll16(SampleSource& source) {
  std::vector<Sample> samples(static_cast<size_t>(source.length()) * source.channels());
  source.seek(0);
  source.read(samples.data(), source.length());
  std::vector<int16_t> out;
  for (Sample s : samples) out.push_back(static_cast<int16_t>(s / 16));
  return out;
}

// A 16-bit mono AU of bytes 1, 2, ... count.
testkit::AuImage handMadeAu(uint32_t count = 8) {
  testkit::AuImage au;
  au.samples.resize(count);
  for (uint32_t i = 0; i < count; ++i) au.samples[i] = static_cast<uint8_t>(i + 1);
  return au;
}

SampleSourceRef openImage(const testkit::AuImage& au) {
  return openAuSource(std::make_unique<MemoryByteSource>(au.build()));
}

}  // namespace

TEST(AuReader, ReadsSoxFilesOfEveryPlainEncodingToSoxsSamples) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::string au = folder.file("sound.au"), reference = folder.file("reference.raw");
  for (const char* encoding : {"-e mu-law -b 8", "-e a-law -b 8", "-e signed -b 8", "-e signed -b 16"}) {
    for (auto [rate, channels] : {std::pair(8000, 1), std::pair(44100, 2), std::pair(22050, 3)}) {
      SCOPED_TRACE(std::string(encoding) + ", " + std::to_string(channels) + " channels");
      ASSERT_EQ(testkit::runTool("sox -R -D -V1 -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                                 " " + encoding + " " + au + " synth 0.5 sine 50-5000 whitenoise vol 0.95 && sox " +
                                 au + " -t raw -e signed -b 16 " + reference),
                0);
      SampleSourceRef source = openAuSource(openFileBytes(au));
      ASSERT_TRUE(source->good());
      EXPECT_EQ(std::tuple(source->sampleRate(), int(source->channels()), source->length()),
                std::tuple(rate, channels, rate / 2));
      EXPECT_EQ(readAll16(*source), testkit::readPcm16(reference));
    }
  }
}

TEST(AuReader, TakesTheDataSizeAsFarAsTheFileHoldsIt) {
  const struct { uint32_t dataSize, dataBytes, padding; int32_t frames; } cases[] = {
      {8, 8, 0, 4},            {4, 8, 0, 2},           // as written; trailing bytes are no samples
      {100, 8, 0, 4},          {0xFFFFFFFE, 8, 16, 4},  // beyond the file: what is there
      {0xFFFFFFFF, 9, 0, 4},   {0xFFFFFFFF, 0, 0, 0},   // unknown: to the end of the file
      {0, 8, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("data size " + std::to_string(c.dataSize) + ", bytes " + std::to_string(c.dataBytes));
    testkit::AuImage au = handMadeAu(c.dataBytes);
    au.dataBytes = c.dataSize, au.beforeData.assign(c.padding, 'x'), au.dataOffset = 24 + c.padding;
    SampleSourceRef source = openImage(au);
    ASSERT_TRUE(source->good());
    EXPECT_EQ(source->length(), c.frames);
    Sample first = 0;
    source->read(&first, 1);
    EXPECT_EQ(first, c.frames ? 0x0102 * 16 : 0) << "the data starts at the offset";
  }
}

TEST(AuReader, RefusesDamagedHeadersWithTheirStatus) {
  using Field = uint32_t testkit::AuImage::*;
  const struct { Field field; uint32_t value; SourceStatus status; } damages[] = {
      {&testkit::AuImage::magic, 0x646E732E, SourceStatus::Corrupt},  // the other byte order
      {&testkit::AuImage::dataOffset, 23, SourceStatus::Corrupt},     {&testkit::AuImage::dataOffset, 0, SourceStatus::Corrupt},
      {&testkit::AuImage::dataOffset, 33, SourceStatus::Corrupt},     // past the file's end
      {&testkit::AuImage::dataOffset, 0xFFFFFFF0, SourceStatus::Corrupt},
      {&testkit::AuImage::channels, 0, SourceStatus::Corrupt},        {&testkit::AuImage::channels, 256, SourceStatus::Corrupt},
      {&testkit::AuImage::channels, 0x101, SourceStatus::Corrupt},    {&testkit::AuImage::rate, 0, SourceStatus::Corrupt},
      {&testkit::AuImage::rate, 196001, SourceStatus::Corrupt}, {&testkit::AuImage::rate, 0xFFFFAC44, SourceStatus::Corrupt},
      {&testkit::AuImage::encoding, 0, SourceStatus::CodecMissing},   {&testkit::AuImage::encoding, 4, SourceStatus::CodecMissing},
      {&testkit::AuImage::encoding, 6, SourceStatus::CodecMissing},   {&testkit::AuImage::encoding, 23, SourceStatus::CodecMissing},
      // The limits themselves are fine.
      {&testkit::AuImage::channels, 255, SourceStatus::Good},         {&testkit::AuImage::rate, 1, SourceStatus::Good},
      {&testkit::AuImage::rate, 196000, SourceStatus::Good},    {&testkit::AuImage::dataOffset, 32, SourceStatus::Good},
      {&testkit::AuImage::encoding, 27, SourceStatus::Good},
  };
  for (const auto& damage : damages) {
    testkit::AuImage au = handMadeAu();
    au.*damage.field = damage.value;
    SampleSourceRef source = openImage(au);
    EXPECT_EQ(source->status(), damage.status) << "field set to " << damage.value;
    if (damage.status != SourceStatus::Good) {
      EXPECT_EQ(source->length(), 0);
    }
  }
  for (uint32_t size : {0u, 4u, 23u}) {  // shorter than a header
    std::vector<uint8_t> out = handMadeAu(0).build();
    out.resize(size);
    EXPECT_EQ(openAuSource(std::make_unique<MemoryByteSource>(out))->status(), SourceStatus::Corrupt) << size;
  }
  EXPECT_EQ(openAuSource(nullptr)->status(), SourceStatus::CannotOpen);
}

TEST(AuWriter, WritesAHeaderAndSamplesThatSoxReadsBack) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::string path = folder.file("ours.au");
  // Three channels of ramps, the middle one passing full scale both ways.
  const int32_t frames = 30000;
  std::vector<Sample> samples;
  std::vector<int16_t> expected;  // rounded to 16 bits, saturated
  for (int32_t i = 0; i < frames; ++i) {
    for (int64_t s : {int64_t(i * 37 % 65536 - 32768) * 16, int64_t(i) * 1000 % (4 * kSampleFullScale) - 2 * kSampleFullScale,
                      int64_t(-i) * 16}) {
      samples.push_back(static_cast<Sample>(s));
      expected.push_back(static_cast<int16_t>(std::clamp<int64_t>((s + 8) >> 4, -32768, 32767)));
    }
  }
  SampleSinkRef sink = makeAuSink(path, 22050, 3);
  ASSERT_TRUE(sink->good());
  sink->write(samples.data(), 7);
  sink->write(samples.data() + 7 * 3, frames - 7);
  EXPECT_EQ(sink->position(), frames);
  const std::vector<uint8_t> partial = testkit::readAll(path);
  ASSERT_GE(partial.size(), 24u);
  EXPECT_EQ(be32(partial.data() + 8), 0xFFFFFFFFu) << "the size is unknown while writing";
  EXPECT_EQ(sink->close(), SourceStatus::Good);

  const std::vector<uint8_t> bytes = testkit::readAll(path);
  ASSERT_EQ(bytes.size(), 24u + frames * 3 * 2);
  const std::vector<uint8_t> header = {'.', 's', 'n', 'd', 0, 0, 0,    24,   0, 0x02, 0xBF, 0x20,
                                       0,   0,   0,   3,   0, 0, 0x56, 0x22, 0, 0,    0,    3};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 24), header);
  // sox would like room for a description after the header; -V1: it only warns.
  EXPECT_EQ(testkit::toolOutput("soxi -V1 -r " + path + " && soxi -V1 -c " + path + " && soxi -V1 -s " + path),
            "22050\n3\n30000\n");
  ASSERT_EQ(testkit::runTool("sox -V1 " + path + " -t raw -e signed -b 16 " + folder.file("back.raw")), 0);
  EXPECT_EQ(testkit::readPcm16(folder.file("back.raw")), expected);
  SampleSourceRef source = openAuSource(openFileBytes(path));
  EXPECT_EQ(readAll16(*source), expected);
}

TEST(AuWriter, ReportsAnOutputThatCannotBeMade) {
  testkit::ScratchFolder folder;
  SampleSinkRef sink = makeAuSink(folder.file("missing-folder/x.au"), 8000, 1);
  const Sample silence[2] = {};
  sink->write(silence, 2);
  EXPECT_EQ(sink->close(), SourceStatus::CannotCreate);
  EXPECT_EQ(makeAuSink(folder.file("y.au"), 0, 1)->status(), SourceStatus::CannotCreate);
}
