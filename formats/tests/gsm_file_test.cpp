#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "formats/gsm610_codec.h"
#include "formats/pcm_convert.h"
#include "testkit/testkit.h"

namespace {

const std::string kRaw16 = " -t raw -r 8000 -c 1 -b 16 -e signed ";

std::vector<Sample> samplesOf(const std::vector<int16_t>& pcm) {
  std::vector<Sample> out;
  for (int16_t v : pcm) out.push_back(sampleFrom16(v));
  return out;
}

// A speech-like test signal: two drifting tones with some noise.
std::vector<int16_t> testSignal(size_t count) {
  std::mt19937 random(9);
  std::vector<int16_t> pcm(count);
  for (size_t i = 0; i < count; ++i)
    pcm[i] = static_cast<int16_t>(((i * (40 + i / 90)) % 800) * 20 - 8000 + ((i * 7) % 130) * 30 + random() % 600);
  return pcm;
}

// Frames of pcm, the last completed with zeros.
std::vector<uint8_t> encodeAll(std::vector<int16_t> pcm) {
  pcm.resize((pcm.size() + kGsmFrameSamples - 1) / kGsmFrameSamples * kGsmFrameSamples, 0);
  Gsm610Encoder encoder;
  std::vector<uint8_t> frames(pcm.size() / kGsmFrameSamples * kGsmFrameBytes);
  for (size_t i = 0; i * kGsmFrameSamples < pcm.size(); ++i)
    encoder.encode(pcm.data() + i * kGsmFrameSamples, frames.data() + i * kGsmFrameBytes);
  return frames;
}

// Decoded Samples of frames, from the frame first on with a fresh decoder.
std::vector<Sample> decodeFrom(const std::vector<uint8_t>& frames, size_t first) {
  Gsm610Decoder decoder;
  std::vector<Sample> out;
  int16_t pcm[kGsmFrameSamples];
  for (size_t at = first * kGsmFrameBytes; at + kGsmFrameBytes <= frames.size(); at += kGsmFrameBytes) {
    decoder.decode(frames.data() + at, pcm);
    for (int16_t v : pcm) out.push_back(sampleFrom16(v));
  }
  return out;
}

std::vector<Sample> readFrames(SampleSource& source, int32_t count) {
  std::vector<Sample> out(count);
  source.read(out.data(), count);
  return out;
}

std::vector<Sample> slice(const std::vector<Sample>& all, size_t from, size_t count) {
  return std::vector<Sample>(all.begin() + from, all.begin() + from + count);
}

TEST(GsmReader, CountsWholeFramesOnly) {
  for (auto [bytes, frames] : {std::pair{0, 0}, {32, 0}, {33, 160}, {76, 320}, {330, 1600}}) {
    auto source = openGsmSource(std::make_unique<MemoryByteSource>(std::vector<uint8_t>(bytes, 0)));
    EXPECT_TRUE(source->good());
    EXPECT_EQ(source->length(), frames) << bytes << " bytes";
    EXPECT_EQ(source->sampleRate(), 8000);
    EXPECT_EQ(source->channels(), 1);
    EXPECT_EQ(source->nominalPeak(), 1048544);
  }
  EXPECT_EQ(openGsmSource(nullptr)->status(), SourceStatus::CannotOpen);
}

TEST(GsmReader, DecodesLikeSoxWhateverTheReadSizes) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::string gsm = folder.file("sweep.gsm"), decoded = folder.file("sweep.raw");
  ASSERT_EQ(0, testkit::runTool("sox -q -n -r 8000 -c 1 '" + gsm + "' synth 2.5 sine 200-3000 vol 0.9"));
  ASSERT_EQ(0, testkit::runTool("sox -q '" + gsm + "'" + kRaw16 + "'" + decoded + "'"));
  const auto expected = samplesOf(testkit::readPcm16(decoded));
  ASSERT_EQ(expected.size(), 20000u);

  for (int32_t chunk : {1, 77, 160, 20000}) {
    auto source = openGsmSource(openFileBytes(gsm));
    ASSERT_EQ(source->length(), 20000);
    std::vector<Sample> got;
    while (got.size() < expected.size()) {
      const auto part = readFrames(*source, chunk);
      got.insert(got.end(), part.begin(), part.end());
    }
    got.resize(expected.size());
    EXPECT_TRUE(got == expected) << "chunks of " << chunk;
  }
}

// A jump restarts the decoder at the target frame, so what follows a seek is
// what a reference decoder makes of the file cut at that frame.
TEST(GsmReader, SeekRestartsAtTheTargetFrameButNotWhereItAlreadyIs) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const auto frames = encodeAll(testSignal(12 * kGsmFrameSamples));
  const std::string tail = folder.file("tail.gsm"), decoded = folder.file("tail.raw");
  testkit::writeAll(tail, std::vector<uint8_t>(frames.begin() + 5 * kGsmFrameBytes, frames.end()));
  ASSERT_EQ(0, testkit::runTool("sox -q '" + tail + "'" + kRaw16 + "'" + decoded + "'"));
  const auto fromFive = samplesOf(testkit::readPcm16(decoded));
  ASSERT_EQ(fromFive.size(), 7u * kGsmFrameSamples);

  auto source = openGsmSource(std::make_unique<MemoryByteSource>(frames));
  source->read(std::vector<Sample>(100).data(), 100);
  source->seek(5 * kGsmFrameSamples + 37);
  EXPECT_EQ(source->position(), 5 * kGsmFrameSamples + 37);
  EXPECT_EQ(readFrames(*source, 500), slice(fromFive, 37, 500));

  // Seeking to where reading already is keeps the decoder going.
  const auto continuous = decodeFrom(frames, 0);
  source->seek(0);
  source->read(std::vector<Sample>(500).data(), 500);
  source->seek(500);
  EXPECT_EQ(readFrames(*source, 300), slice(continuous, 500, 300));
}

TEST(GsmReader, ReadsSilenceOutsideTheFramesAndAdvancesByTheWholeRequest) {
  auto frames = encodeAll(testSignal(3 * kGsmFrameSamples));
  const auto decoded = decodeFrom(frames, 0);
  frames.resize(frames.size() + 20);  // a partial frame: ignored
  auto source = openGsmSource(std::make_unique<MemoryByteSource>(frames));
  ASSERT_EQ(source->length(), 480);
  EXPECT_EQ(readFrames(*source, 480), decoded);

  source->seek(-100);
  EXPECT_EQ(source->position(), -100);
  auto got = readFrames(*source, 300);
  EXPECT_EQ(slice(got, 0, 100), std::vector<Sample>(100, 0));
  EXPECT_EQ(slice(got, 100, 200), slice(decoded, 0, 200));
  EXPECT_EQ(source->position(), 200);

  got = readFrames(*source, 400);
  EXPECT_EQ(slice(got, 0, 280), slice(decoded, 200, 280));
  EXPECT_EQ(slice(got, 280, 120), std::vector<Sample>(120, 0));
  EXPECT_EQ(source->position(), 600);

  source->seek(100000);
  EXPECT_EQ(source->position(), 480);
  std::vector<Sample> tail(10, 7);
  source->read(tail.data(), 10);
  EXPECT_EQ(tail, std::vector<Sample>(10, 0));
  EXPECT_EQ(source->position(), 490);
}

TEST(GsmReader, FrameWithoutSignatureReadsAsSilence) {
  auto frames = encodeAll(testSignal(3 * kGsmFrameSamples));
  frames[kGsmFrameBytes] = 0x5A;
  auto got = readFrames(*openGsmSource(std::make_unique<MemoryByteSource>(frames)), 480);
  EXPECT_EQ(slice(got, 160, 160), std::vector<Sample>(160, 0));
  EXPECT_NE(slice(got, 320, 160), std::vector<Sample>(160, 0));
}

TEST(GsmWriter, WritesTheFramesSoxWrites) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::string raw = folder.file("in.raw"), reference = folder.file("sox.gsm"), ours = folder.file("ours.gsm");
  ASSERT_EQ(0, testkit::runTool("sox -q -n" + kRaw16 + "'" + raw + "' synth 1.3 pinknoise vol 0.8"));
  ASSERT_EQ(0, testkit::runTool("sox -q" + kRaw16 + "'" + raw + "' '" + reference + "'"));
  const auto samples = samplesOf(testkit::readPcm16(raw));

  auto sink = makeGsmSink(ours);
  EXPECT_EQ(sink->sampleRate(), 8000);
  EXPECT_EQ(sink->channels(), 1);
  for (size_t at = 0; at < samples.size(); at += 1000)
    sink->write(samples.data() + at, static_cast<int32_t>(std::min<size_t>(1000, samples.size() - at)));
  EXPECT_EQ(sink->position(), static_cast<int32_t>(samples.size()));
  EXPECT_EQ(sink->close(), SourceStatus::Good);
  EXPECT_TRUE(testkit::readAll(ours) == testkit::readAll(reference));
}

// 161 samples make one full frame and one of a single sample and 159 zeros.
TEST(GsmWriter, CompletesTheLastFrameWithSilence) {
  testkit::ScratchFolder folder;
  const auto pcm = testSignal(400);
  for (auto [count, bytes] : {std::pair{0, 0}, {1, 33}, {160, 33}, {161, 66}, {400, 99}}) {
    const std::string path = folder.file("out" + std::to_string(count) + ".gsm");
    const std::vector<int16_t> part(pcm.begin(), pcm.begin() + count);
    const auto samples = samplesOf(part);
    auto sink = makeGsmSink(path);
    sink->write(samples.data(), count);
    EXPECT_EQ(sink->close(), SourceStatus::Good);
    const auto written = testkit::readAll(path);
    EXPECT_EQ(written.size(), size_t(bytes)) << count << " samples";
    EXPECT_TRUE(written == encodeAll(part)) << count << " samples";
  }
}

TEST(GsmWriter, ClipsSamplesBeyondSixteenBits) {
  testkit::ScratchFolder folder;
  std::vector<Sample> loud;
  std::vector<int16_t> clipped;
  for (int i = 0; i < 480; ++i) {
    loud.push_back((i / 20 % 2 ? 1 : -1) * (kSampleFullScale * 3 + i * 1000));
    clipped.push_back(loud.back() > 0 ? 32767 : -32768);
  }
  makeGsmSink(folder.file("loud.gsm"))->write(loud.data(), 480);
  EXPECT_TRUE(testkit::readAll(folder.file("loud.gsm")) == encodeAll(clipped));
}

TEST(GsmWriter, ReportsAnOutputThatCannotBeCreated) {
  testkit::ScratchFolder folder;
  auto sink = makeGsmSink(folder.file("missing/out.gsm"));
  EXPECT_EQ(sink->status(), SourceStatus::CannotCreate);
  const Sample samples[200] = {};
  sink->write(samples, 200);
  EXPECT_EQ(sink->close(), SourceStatus::CannotCreate);
}

}  // namespace
