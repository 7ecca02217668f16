#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "formats/byte_source.h"
#include "formats/dialogic_adpcm.h"
#include "formats/formats.h"
#include "testkit/testkit.h"

namespace {

std::vector<Sample> readFrames(SampleSource& source, int32_t from, int32_t frames) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * source.channels(), -1);
  source.seek(from);
  source.read(samples.data(), frames);
  return samples;
}

std::vector<int16_t> to16(const std::vector<Sample>& samples) {
  std::vector<int16_t> out;
  for (Sample s : samples) out.push_back(static_cast<int16_t>(s / 16));
  return out;
}

SampleSourceRef openBytes(const std::vector<uint8_t>& bytes, RawFormat format) {
  return openRawSource(std::make_unique<MemoryByteSource>(bytes), format);
}

const struct {
  RawCodec codec;
  const char* soxEncoding;
} kStatelessCodecs[] = {{RawCodec::MuLaw, "-e mu-law -b 8"},    {RawCodec::ALaw, "-e a-law -b 8"},
                        {RawCodec::Pcm16LE, "-e signed -b 16"}, {RawCodec::Unsigned8, "-e unsigned -b 8"},
                        {RawCodec::Signed8, "-e signed -b 8"}};

}  // namespace

TEST(RawFormat, ReadsEachSectionWithItsDefaultsAndKeepsValuesValid) {
  const RawFormat raw = readRawFormat(nullptr, "RawAudio");
  EXPECT_EQ(std::tuple(raw.sampleRate, raw.channels, raw.codec), std::tuple(44100, 1, RawCodec::Pcm16LE));
  // Each stored value out of range or unreadable falls back to its own default.
  const struct { const char *rate, *channels, *codec; RawFormat expected; } cases[] = {
      {"22050", "2", "1", {22050, 2, RawCodec::MuLaw}},
      {"6000", "1", "5", {6000, 1, RawCodec::Signed8}},
      {"196000", "2", "0", {196000, 2, RawCodec::DialogicAdpcm}},
      {"5999", "0", "6", {8000, 1, RawCodec::DialogicAdpcm}},
      {"196001", "3", "-1", {8000, 1, RawCodec::DialogicAdpcm}},
      {"fast", "stereo", "99999999999", {8000, 1, RawCodec::DialogicAdpcm}},
  };
  for (const auto& c : cases) {
    auto settings = sys::makeMemorySettingsStore();
    settings->write("VoxAudio", "SampleRate", c.rate);
    settings->write("VoxAudio", "Channels", c.channels);
    settings->write("VoxAudio", "Codec", c.codec);
    const RawFormat format = readRawFormat(settings.get(), "VoxAudio");
    EXPECT_EQ(std::tuple(format.sampleRate, format.channels, format.codec),
              std::tuple(c.expected.sampleRate, c.expected.channels, c.expected.codec))
        << c.rate << " " << c.channels << " " << c.codec;
  }
  auto settings = sys::makeMemorySettingsStore();
  writeRawFormat(*settings, "RawAudio", RawFormat{11025, 2, RawCodec::ALaw});
  EXPECT_EQ(settings->read("RawAudio", "SampleRate", "") + settings->read("RawAudio", "Channels", "") +
                settings->read("RawAudio", "Codec", ""),
            "1102522");
  EXPECT_EQ(readRawFormat(settings.get(), "VoxAudio").codec, RawCodec::DialogicAdpcm);
}

TEST(RawFiles, StatelessCodecsReadAndWriteAsSoxDoes) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  // Every 16-bit value once, as a stereo stream, for the writers.
  std::vector<uint8_t> ramp;
  std::vector<Sample> rampSamples;
  for (int v = -32768; v <= 32767; ++v) {
    testkit::putLe16(ramp, static_cast<uint16_t>(v));
    rampSamples.push_back(v * 16);
  }
  ASSERT_TRUE(testkit::writeAll(folder.file("ramp.raw"), ramp));
  const std::string linear = " -t raw -e signed -b 16 ";
  for (const auto& codec : kStatelessCodecs) {
    SCOPED_TRACE(codec.soxEncoding);
    const std::string layout = std::string(" -t raw -r 11025 -c 2 ") + codec.soxEncoding + " ";
    const std::string soxFile = folder.file("sox.raw"), ourFile = folder.file("ours.raw");
    // Reading: a loud sweep and noise made by sox, decoded by sox and by us.
    ASSERT_EQ(testkit::runTool("sox -R -n" + layout + soxFile + " synth 1 sine 50-5000 whitenoise vol 0.95" +
                               " && sox" + layout + soxFile + linear + folder.file("decoded.raw")),
              0);
    SampleSourceRef source = openRawSource(openFileBytes(soxFile), RawFormat{11025, 2, codec.codec});
    ASSERT_TRUE(source->good());
    EXPECT_EQ(std::tuple(source->sampleRate(), int(source->channels()), source->length()), std::tuple(11025, 2, 11025));
    EXPECT_EQ(to16(readFrames(*source, 0, 11025)), testkit::readPcm16(folder.file("decoded.raw")));

    // Writing, in uneven pieces: the bytes sox makes of the same samples.
    SampleSinkRef sink = makeRawSink(ourFile, 11025, 2, RawFormat{11025, 2, codec.codec});
    sink->write(rampSamples.data(), 1000);
    sink->write(rampSamples.data() + 2000, 32768 - 1000);
    EXPECT_EQ(sink->position(), 32768);
    EXPECT_EQ(sink->close(), SourceStatus::Good);
    ASSERT_EQ(testkit::runTool("sox -D -V1 -r 11025 -c 2" + linear + folder.file("ramp.raw") + layout + soxFile), 0);
    EXPECT_TRUE(testkit::readAll(ourFile) == testkit::readAll(soxFile));
  }
}

TEST(RawFiles, AdpcmSourceGivesTheWholeStreamDecodeWhateverTheReadsAndSeeks) {
  // Any bytes are a valid stream: every nibble is a code.
  std::vector<uint8_t> bytes(30001);
  uint32_t state = 12345;
  for (uint8_t& b : bytes) b = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 16);
  std::vector<int16_t> whole(bytes.size() * 2);
  DialogicAdpcmDecoder().decodeBytes(bytes.data(), bytes.size(), whole.data());

  for (int channels : {1, 2, 3}) {
    SCOPED_TRACE("channels " + std::to_string(channels));
    SampleSourceRef source = openBytes(bytes, RawFormat{8000, channels, RawCodec::DialogicAdpcm});
    ASSERT_TRUE(source->good());
    const int32_t length = 60002 / channels;  // a code left over is no frame
    ASSERT_EQ(source->length(), length);
    // {start, frames}; start kNext reads on from where the last read ended.
    constexpr int32_t kNext = INT32_MIN;
    const int32_t requests[][2] = {{0, 1},         {kNext, 7},    {kNext, 4096}, {kNext, 9000}, {5, 3},
                                   {-4, 10},       {length - 3, 10}, {length + 100, 5}, {12000, 100},
                                   {19000, 50},    {150, 1},      {kNext, 8192 * 3}};
    int32_t position = 0;
    for (const auto& request : requests) {
      const int32_t start = request[0] == kNext ? position : request[0];
      std::vector<Sample> got(static_cast<size_t>(request[1]) * channels, -1);
      if (request[0] != kNext) source->seek(start);
      source->read(got.data(), request[1]);
      position = start + request[1];
      EXPECT_EQ(source->position(), position);
      for (int64_t i = 0; i < static_cast<int64_t>(got.size()); ++i) {
        const int64_t frame = start + i / channels;
        const Sample expected = frame >= 0 && frame < length ? sampleFromAdpcm12(whole[start * channels + i]) : 0;
        ASSERT_EQ(got[i], expected) << "read from " << start << ", sample " << i;
      }
    }
  }
}

TEST(RawFiles, AdpcmSinkPacksTwoCodesAByteEndingWithAHalfByte) {
  testkit::ScratchFolder folder;
  for (int channels : {1, 2, 3}) {  // 4,001 frames: odd, even, odd code counts
    SCOPED_TRACE("channels " + std::to_string(channels));
    const int32_t frames = 4001;
    std::vector<Sample> samples;  // a different tone on each channel
    for (int32_t i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c)
        samples.push_back(static_cast<Sample>(300000 * std::sin(2 * std::numbers::pi * (300 + 200 * c) * i / 8000.0)));
    const std::string path = folder.file("sound.vox");
    {
      SampleSinkRef sink = makeRawSink(path, 8000, channels, RawFormat{8000, channels, RawCodec::DialogicAdpcm});
      sink->write(samples.data(), 1);  // pieces that split bytes
      sink->write(samples.data() + channels, 2);
      sink->write(samples.data() + 3 * channels, frames - 3);
      EXPECT_EQ(sink->position(), frames);
    }  // released without close: committed all the same
    // One encoder over all codes in order; the last half byte is code 0.
    DialogicAdpcmEncoder encoder;
    std::vector<uint8_t> expected((samples.size() + 1) / 2, 0);
    for (size_t i = 0; i < samples.size(); ++i)
      expected[i / 2] |= encoder.encode(adpcm12FromSample(samples[i])) << (i % 2 ? 0 : 4);
    EXPECT_TRUE(testkit::readAll(path) == expected);
  }
}

TEST(RawFiles, ReportMissingInputImpossibleLayoutsAndUnmakeableOutput) {
  const std::vector<uint8_t> bytes(100, 0x11);
  for (RawCodec codec : {RawCodec::DialogicAdpcm, RawCodec::MuLaw, RawCodec::Pcm16LE}) {
    EXPECT_EQ(openRawSource(nullptr, RawFormat{8000, 1, codec})->status(), SourceStatus::CannotOpen);
    for (RawFormat bad : {RawFormat{0, 1, codec}, RawFormat{196001, 1, codec}, RawFormat{8000, 0, codec},
                          RawFormat{8000, 256, codec}})
      EXPECT_EQ(openBytes(bytes, bad)->status(), SourceStatus::Corrupt);
    EXPECT_EQ(openBytes({}, RawFormat{8000, 1, codec})->length(), 0);
  }
  EXPECT_EQ(openBytes(bytes, RawFormat{8000, 1, RawCodec(6)})->status(), SourceStatus::Corrupt);

  testkit::ScratchFolder folder;
  const Sample silence[4] = {};
  for (RawCodec codec : {RawCodec::DialogicAdpcm, RawCodec::Pcm16LE}) {
    SampleSinkRef sink = makeRawSink(folder.file("missing/x.raw"), 8000, 1, RawFormat{8000, 1, codec});
    sink->write(silence, 4);
    EXPECT_EQ(sink->close(), SourceStatus::CannotCreate);
  }
  EXPECT_EQ(makeRawSink(folder.file("x.raw"), 8000, 1, RawFormat{8000, 1, RawCodec(7)})->status(),
            SourceStatus::CannotCreate);
  EXPECT_TRUE(testkit::readAll(folder.file("x.raw")).empty());
}
