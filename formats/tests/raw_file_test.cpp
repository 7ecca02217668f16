#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/dialogic_adpcm.h"
#include "formats/formats.h"
#include "testkit/testkit.h"

namespace {

std::vector<Sample> readAllFrames(SampleSource& source) {
  std::vector<Sample> samples(static_cast<size_t>(source.length()) * source.channels());
  source.seek(0);
  source.read(samples.data(), source.length());
  return samples;
}

std::vector<int16_t> to16(const std::vector<Sample>& samples) {
  std::vector<int16_t> out;
  for (Sample s : samples) out.push_back(static_cast<int16_t>(s / 16));
  return out;
}

std::unique_ptr<ByteSource> memoryBytes(const std::vector<uint8_t>& bytes) {
  return std::make_unique<MemoryByteSource>(bytes);
}

// Arbitrary bytes are a valid ADPCM stream: every nibble is a code.
std::vector<uint8_t> pseudoRandomBytes(size_t count) {
  std::vector<uint8_t> bytes(count);
  uint32_t state = 12345;
  for (uint8_t& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<uint8_t>(state >> 16);
  }
  return bytes;
}

// What the raw ADPCM source must produce: the whole stream through one
// decoder, in the system's scale.
std::vector<Sample> decodeWholeStream(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> codes(bytes.size() * 2);
  DialogicAdpcmDecoder decoder;
  decoder.decodeBytes(bytes.data(), bytes.size(), codes.data());
  std::vector<Sample> samples;
  for (int16_t v : codes) samples.push_back(sampleFromAdpcm12(v));
  return samples;
}

struct StatelessCodec {
  RawCodec codec;
  const char* soxEncoding;  // sox's -e and -b for the same layout
  int bytesPerSample;
};
const StatelessCodec kStatelessCodecs[] = {
    {RawCodec::MuLaw, "-e mu-law -b 8", 1},     {RawCodec::ALaw, "-e a-law -b 8", 1},
    {RawCodec::Pcm16LE, "-e signed -b 16", 2},  {RawCodec::Unsigned8, "-e unsigned -b 8", 1},
    {RawCodec::Signed8, "-e signed -b 8", 1},
};

}  // namespace

TEST(RawFormat, ReadsEachSectionWithItsDefaultsAndKeepsValuesValid) {
  const RawFormat raw = readRawFormat(nullptr, "RawAudio");
  EXPECT_EQ(raw.sampleRate, 44100);
  EXPECT_EQ(raw.channels, 1);
  EXPECT_EQ(raw.codec, RawCodec::Pcm16LE);
  const RawFormat vox = readRawFormat(nullptr, "VoxAudio");
  EXPECT_EQ(vox.sampleRate, 8000);
  EXPECT_EQ(vox.channels, 1);
  EXPECT_EQ(vox.codec, RawCodec::DialogicAdpcm);

  struct Stored {
    const char* rate;
    const char* channels;
    const char* codec;
    int32_t expectedRate;
    int expectedChannels;
    RawCodec expectedCodec;
  };
  // Each value out of range or unreadable falls back to its own default.
  const Stored cases[] = {
      {"22050", "2", "1", 22050, 2, RawCodec::MuLaw},
      {"6000", "1", "5", 6000, 1, RawCodec::Signed8},
      {"196000", "2", "0", 196000, 2, RawCodec::DialogicAdpcm},
      {"5999", "0", "6", 8000, 1, RawCodec::DialogicAdpcm},
      {"196001", "3", "-1", 8000, 1, RawCodec::DialogicAdpcm},
      {"fast", "stereo", "", 8000, 1, RawCodec::DialogicAdpcm},
      {"-8000", "-2", "99999999999", 8000, 1, RawCodec::DialogicAdpcm},
  };
  for (const Stored& stored : cases) {
    SCOPED_TRACE(std::string(stored.rate) + " " + stored.channels + " " + stored.codec);
    auto settings = sys::makeMemorySettingsStore();
    settings->write("VoxAudio", "SampleRate", stored.rate);
    settings->write("VoxAudio", "Channels", stored.channels);
    settings->write("VoxAudio", "Codec", stored.codec);
    const RawFormat format = readRawFormat(settings.get(), "VoxAudio");
    EXPECT_EQ(format.sampleRate, stored.expectedRate);
    EXPECT_EQ(format.channels, stored.expectedChannels);
    EXPECT_EQ(format.codec, stored.expectedCodec);
  }

  // Written as decimal text and read back; the other section is untouched.
  auto settings = sys::makeMemorySettingsStore();
  writeRawFormat(*settings, "RawAudio", RawFormat{11025, 2, RawCodec::ALaw});
  EXPECT_EQ(settings->read("RawAudio", "SampleRate", ""), "11025");
  EXPECT_EQ(settings->read("RawAudio", "Channels", ""), "2");
  EXPECT_EQ(settings->read("RawAudio", "Codec", ""), "2");
  const RawFormat back = readRawFormat(settings.get(), "RawAudio");
  EXPECT_EQ(back.sampleRate, 11025);
  EXPECT_EQ(back.channels, 2);
  EXPECT_EQ(back.codec, RawCodec::ALaw);
  EXPECT_EQ(readRawFormat(settings.get(), "VoxAudio").codec, RawCodec::DialogicAdpcm);
}

TEST(RawReader, DecodesSoxFilesOfEveryStatelessCodecToSoxsSamples) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  for (const StatelessCodec& codec : kStatelessCodecs) {
    for (int channels : {1, 2}) {
      SCOPED_TRACE(std::string(codec.soxEncoding) + ", channels " + std::to_string(channels));
      const std::string file = folder.file("sound.raw");
      const std::string reference = folder.file("reference.raw");
      // A sweep on one channel, noise on the other, loud enough to use every code.
      ASSERT_EQ(testkit::runTool("sox -R -n -r 11025 -c " + std::to_string(channels) + " " +
                                 codec.soxEncoding + " -t raw " + file +
                                 " synth 1 sine 50-5000 whitenoise vol 0.95"),
                0);
      ASSERT_EQ(testkit::runTool("sox -t raw -r 11025 -c " + std::to_string(channels) + " " + codec.soxEncoding +
                                 " " + file + " -t raw -e signed -b 16 " + reference),
                0);
      const std::vector<int16_t> expected = testkit::readPcm16(reference);

      SampleSourceRef source = openRawSource(openFileBytes(file), RawFormat{11025, channels, codec.codec});
      ASSERT_TRUE(source->good());
      EXPECT_EQ(source->sampleRate(), 11025);
      EXPECT_EQ(source->channels(), channels);
      EXPECT_EQ(source->length(), 11025);
      EXPECT_EQ(to16(readAllFrames(*source)), expected);
    }
  }
}

TEST(RawWriter, WritesEveryStatelessCodecAsSoxConvertsTheSameSamples) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  // Every 16-bit value once, as a stereo stream.
  std::vector<uint8_t> ramp;
  std::vector<Sample> samples;
  for (int v = -32768; v <= 32767; ++v) {
    testkit::putLe16(ramp, static_cast<uint16_t>(v));
    samples.push_back(v * 16);
  }
  ASSERT_TRUE(testkit::writeAll(folder.file("ramp.raw"), ramp));
  for (const StatelessCodec& codec : kStatelessCodecs) {
    SCOPED_TRACE(codec.soxEncoding);
    const std::string ours = folder.file("ours.raw");
    const std::string reference = folder.file("reference.raw");
    {
      SampleSinkRef sink = makeRawSink(ours, 8000, 2, RawFormat{8000, 2, codec.codec});
      ASSERT_TRUE(sink->good());
      // In uneven pieces, as the copy loop may hand them over.
      sink->write(samples.data(), 1000);
      sink->write(samples.data() + 2000, 32768 - 1000);
      EXPECT_EQ(sink->position(), 32768);
      EXPECT_EQ(sink->close(), SourceStatus::Good);
    }
    ASSERT_EQ(testkit::runTool("sox -D -V1 -t raw -r 8000 -c 2 -e signed -b 16 " + folder.file("ramp.raw") +
                               " -t raw " + codec.soxEncoding + " " + reference),
              0);
    const std::vector<uint8_t> written = testkit::readAll(ours);
    ASSERT_EQ(written.size(), 65536u * codec.bytesPerSample);
    EXPECT_TRUE(written == testkit::readAll(reference));
  }
}

TEST(RawReader, AdpcmSourceGivesTheWholeStreamDecodeWhateverTheReadsAndSeeks) {
  const std::vector<uint8_t> bytes = pseudoRandomBytes(30001);
  const std::vector<Sample> whole = decodeWholeStream(bytes);
  for (int channels : {1, 2, 3}) {
    SCOPED_TRACE("channels " + std::to_string(channels));
    SampleSourceRef source = openRawSource(memoryBytes(bytes), RawFormat{8000, channels, RawCodec::DialogicAdpcm});
    ASSERT_TRUE(source->good());
    EXPECT_EQ(source->sampleRate(), 8000);
    EXPECT_EQ(source->channels(), channels);
    // Frames = codes / channels; a code left over is not a frame.
    const int32_t length = 60002 / channels;
    ASSERT_EQ(source->length(), length);

    struct Request {
      int32_t seekTo;  // -1000000: read on from where the last read ended
      int32_t frames;
    };
    const Request requests[] = {
        {0, 1},       {-1000000, 7},    {-1000000, 4096}, {-1000000, 9000},  // sequential, uneven
        {5, 3},                                                              // back
        {-4, 10},                                                            // across frame 0
        {length - 3, 10},                                                    // across the end
        {length + 100, 5},                                                   // past the end
        {12000, 100}, {19000, 50}, {150, 1},                                 // forward, forward, back
        {-1000000, 8192 * 3},                                                // long
    };
    int32_t expectedPosition = 0;
    for (const Request& request : requests) {
      const int32_t start = request.seekTo == -1000000 ? expectedPosition : request.seekTo;
      if (request.seekTo != -1000000) source->seek(request.seekTo);
      EXPECT_EQ(source->position(), start);
      std::vector<Sample> got(static_cast<size_t>(request.frames) * channels, -1);
      source->read(got.data(), request.frames);
      expectedPosition = start + request.frames;
      EXPECT_EQ(source->position(), expectedPosition);
      for (int32_t f = 0; f < request.frames; ++f) {
        const int64_t frame = static_cast<int64_t>(start) + f;
        for (int c = 0; c < channels; ++c) {
          const Sample expected = frame >= 0 && frame < length ? whole[frame * channels + c] : 0;
          ASSERT_EQ(got[static_cast<size_t>(f) * channels + c], expected)
              << "read from " << start << ", frame " << frame << ", channel " << c;
        }
      }
    }
  }
}

TEST(RawReader, ReportsMissingBytesAndImpossibleLayouts) {
  for (RawCodec codec : {RawCodec::DialogicAdpcm, RawCodec::MuLaw, RawCodec::Pcm16LE}) {
    EXPECT_EQ(openRawSource(nullptr, RawFormat{8000, 1, codec})->status(), SourceStatus::CannotOpen);
    const std::vector<uint8_t> bytes(100, 0x11);
    EXPECT_EQ(openRawSource(memoryBytes(bytes), RawFormat{0, 1, codec})->status(), SourceStatus::Corrupt);
    EXPECT_EQ(openRawSource(memoryBytes(bytes), RawFormat{8000, 0, codec})->status(), SourceStatus::Corrupt);
    EXPECT_EQ(openRawSource(memoryBytes(bytes), RawFormat{8000, 256, codec})->status(), SourceStatus::Corrupt);
    SampleSourceRef empty = openRawSource(memoryBytes({}), RawFormat{8000, 1, codec});
    EXPECT_TRUE(empty->good());
    EXPECT_EQ(empty->length(), 0);
  }
  EXPECT_EQ(openRawSource(memoryBytes({1, 2}), RawFormat{8000, 1, static_cast<RawCodec>(6)})->status(),
            SourceStatus::Corrupt);
}

TEST(RawWriter, AdpcmSinkPacksTwoCodesAByteAndEndsWithAHalfByte) {
  testkit::ScratchFolder folder;
  // Odd code counts (4,001 frames of one or three channels) get a final half
  // byte whose low nibble is code 0; even ones (two channels) do not.
  for (int channels : {1, 2, 3}) {
    SCOPED_TRACE("channels " + std::to_string(channels));
    const int32_t frames = 4001;
    // A different tone on each channel.
    std::vector<Sample> samples;
    for (int32_t i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c)
        samples.push_back(static_cast<Sample>(300000 * std::sin(2 * M_PI * (300 + 200 * c) * i / 8000.0)));
    const std::string path = folder.file("sound.vox");
    {
      SampleSinkRef sink = makeRawSink(path, 8000, channels, RawFormat{8000, channels, RawCodec::DialogicAdpcm});
      ASSERT_TRUE(sink->good());
      // Odd pieces, so that bytes straddle the writes.
      sink->write(samples.data(), 1);
      sink->write(samples.data() + channels, 2);
      sink->write(samples.data() + 3 * channels, frames - 3);
      EXPECT_EQ(sink->position(), frames);
    }  // released without close: committed all the same
    const std::vector<uint8_t> written = testkit::readAll(path);
    const size_t codes = static_cast<size_t>(frames) * channels;
    ASSERT_EQ(written.size(), (codes + 1) / 2);

    DialogicAdpcmEncoder encoder;
    std::vector<uint8_t> expected((codes + 1) / 2, 0);
    for (size_t i = 0; i < codes; ++i)
      expected[i / 2] |= encoder.encode(adpcm12FromSample(samples[i])) << (i % 2 ? 0 : 4);
    EXPECT_TRUE(written == expected);

    // Read back with the same layout, each channel follows its own tone. One
    // predictor serves all channels in turn, so it jumps between them and
    // follows less closely than on one channel.
    SampleSourceRef source = openRawSource(openFileBytes(path), RawFormat{8000, channels, RawCodec::DialogicAdpcm});
    ASSERT_TRUE(source->good());
    EXPECT_EQ(source->length(), static_cast<int32_t>(written.size() * 2 / channels));
    const std::vector<Sample> back = readAllFrames(*source);
    double signal = 0, noise = 0;
    for (size_t i = 100 * channels; i < codes; ++i) {
      signal += double(samples[i]) * samples[i];
      noise += double(samples[i] - back[i]) * (samples[i] - back[i]);
    }
    EXPECT_GT(10 * std::log10(signal / noise), channels == 1 ? 25.0 : 15.0);
  }
}

TEST(RawWriter, SoxReadsOurVoxFileAsCloselyAsItsOwn) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  ASSERT_EQ(testkit::runTool("sox -D -n -r 8000 -c 1 -e signed -b 16 -t raw " + folder.file("tone.raw") +
                             " synth 2 sine 300 vol 0.7"),
            0);
  const std::vector<int16_t> original = testkit::readPcm16(folder.file("tone.raw"));
  std::vector<Sample> samples;
  for (int16_t v : original) samples.push_back(v * 16);
  {
    SampleSinkRef sink = makeRawSink(folder.file("ours.vox"), 8000, 1, readRawFormat(nullptr, "VoxAudio"));
    sink->write(samples.data(), static_cast<int32_t>(samples.size()));
    ASSERT_EQ(sink->close(), SourceStatus::Good);
  }
  ASSERT_EQ(testkit::runTool("sox -t vox -r 8000 " + folder.file("ours.vox") + " -t raw -e signed -b 16 " +
                             folder.file("sox_of_ours.raw")),
            0);
  ASSERT_EQ(testkit::runTool("sox -D -t raw -r 8000 -c 1 -e signed -b 16 " + folder.file("tone.raw") + " " +
                             folder.file("sox.vox") + " && sox -t vox -r 8000 " + folder.file("sox.vox") +
                             " -t raw -e signed -b 16 " + folder.file("sox_of_sox.raw")),
            0);
  auto snr = [&](const std::vector<int16_t>& coded) {
    double signal = 0, noise = 0;
    for (size_t i = 100; i < original.size(); ++i) {
      signal += double(original[i]) * original[i];
      noise += double(original[i] - coded[i]) * (original[i] - coded[i]);
    }
    return 10 * std::log10(signal / noise);
  };
  const std::vector<int16_t> soxOfOurs = testkit::readPcm16(folder.file("sox_of_ours.raw"));
  const std::vector<int16_t> soxOfSox = testkit::readPcm16(folder.file("sox_of_sox.raw"));
  ASSERT_EQ(soxOfOurs.size(), original.size());
  ASSERT_EQ(soxOfSox.size(), original.size());
  EXPECT_GT(snr(soxOfSox), 25.0);
  EXPECT_NEAR(snr(soxOfOurs), snr(soxOfSox), 1.0);
}

TEST(RawWriter, ReportsAnOutputThatCannotBeMade) {
  testkit::ScratchFolder folder;
  const std::string unreachable = folder.file("missing-folder/sound.raw");
  for (RawCodec codec : {RawCodec::DialogicAdpcm, RawCodec::Pcm16LE}) {
    SampleSinkRef sink = makeRawSink(unreachable, 8000, 1, RawFormat{8000, 1, codec});
    EXPECT_EQ(sink->status(), SourceStatus::CannotCreate);
    const Sample silence[4] = {};
    sink->write(silence, 4);
    EXPECT_EQ(sink->close(), SourceStatus::CannotCreate);
  }
  SampleSinkRef unknown = makeRawSink(folder.file("x.raw"), 8000, 1, RawFormat{8000, 1, static_cast<RawCodec>(7)});
  EXPECT_EQ(unknown->status(), SourceStatus::CannotCreate);
  EXPECT_TRUE(testkit::readAll(folder.file("x.raw")).empty());
}
