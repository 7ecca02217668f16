#include <gtest/gtest.h>

#include <cstring>

#include "formats/formats.h"
#include "formats/wav_codec_file.h"
#include "sys/file.h"
#include "testkit/file_images.h"
#include "testkit/testkit.h"

namespace {

using testkit::ScratchFolder;

std::vector<Sample> readSource(SampleSource& source, int32_t frames) {
  std::vector<Sample> out(static_cast<size_t>(frames) * source.channels());
  source.read(out.data(), frames);
  return out;
}

SampleSourceRef openWave(const std::string& path) { return openWaveSource(openFileBytes(path)); }

void writeWave(const std::string& path, const std::vector<Sample>& samples, int channels, int width,
               int32_t rate = 8000) {
  auto sink = makeWavePcmSink(path, rate, channels, width);
  sink->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  ASSERT_EQ(sink->close(), SourceStatus::Good);
}

// A 16-bit mono WAVE image with the given chunks between the header and "data".
std::vector<uint8_t> waveImage(const std::vector<int16_t>& samples, const std::vector<uint8_t>& beforeFmt = {},
                               const std::vector<uint8_t>& beforeData = {}, uint32_t dataSize = 0) {
  testkit::WaveImage image;
  image.samples = testkit::le16Bytes(samples);
  image.beforeFmt = beforeFmt;
  image.beforeData = beforeData;
  if (dataSize) image.dataBytes = dataSize;
  return image.build();
}

TEST(WaveReader, MatchesSoxOnEveryPcmWidth) {
  ZED_REQUIRE_TOOL("sox");
  ScratchFolder scratch;
  for (int bits : {8, 16, 24, 32}) {
    std::string wav = scratch.file("in" + std::to_string(bits) + ".wav");
    std::string raw = scratch.file("ref" + std::to_string(bits) + ".raw");
    ASSERT_EQ(testkit::runTool("sox -V1 -n -r 22050 -c 2 -b " + std::to_string(bits) + " " + wav +
                               " synth 0.5 sine 300-2000 noise vol 0.9"), 0);
    ASSERT_EQ(testkit::runTool("sox " + wav + " -t raw -e signed -b 32 " + raw), 0);
    auto reference = testkit::readPcm32(raw);
    auto source = openWave(wav);
    ASSERT_TRUE(source->good()) << bits;
    EXPECT_EQ(source->sampleRate(), 22050);
    EXPECT_EQ(source->channels(), 2);
    ASSERT_EQ(static_cast<size_t>(source->length()) * 2, reference.size());
    auto ours = readSource(*source, source->length());
    size_t mismatches = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
      int64_t expected = bits == 32 ? std::min<int64_t>((int64_t(reference[i]) + 2048) >> 12, INT32_MAX)
                                    : reference[i] >> 12;
      mismatches += ours[i] != expected;
    }
    EXPECT_EQ(mismatches, 0u) << bits << "-bit";
  }
}

TEST(WaveReader, ExtremeValuesConvertExactly) {
  ScratchFolder scratch;
  struct Case {
    int bits;
    std::vector<uint8_t> bytes;
    Sample expected;
  } cases[] = {
      {16, {0xFF, 0x7F}, 524272},
      {16, {0x00, 0x80}, -524288},
      {8, {0xFF}, 520192},
      {8, {0x00}, -524288},
      {24, {0xFF, 0xFF, 0x7F}, 524287},
      {32, {0xFF, 0xFF, 0xFF, 0x7F}, 524288},  // rounds up without wrapping
      {32, {0x00, 0x00, 0x00, 0x80}, -524288},
  };
  for (const auto& c : cases) {
    testkit::WaveImage wave;
    wave.bits = static_cast<uint16_t>(c.bits);
    wave.samples = c.bytes;
    const std::vector<uint8_t> image = wave.build();
    auto source = openWaveSource(std::make_unique<MemoryByteSource>(image));
    ASSERT_TRUE(source->good());
    EXPECT_EQ(readSource(*source, 1)[0], c.expected) << c.bits << "-bit";
  }
}

TEST(WaveReader, SkipsForeignChunksAndReadsUnclosedRecordingsToTheEnd) {
  std::vector<uint8_t> list;
  testkit::putText(list, "LIST");
  testkit::putLe32(list, 5);  // odd size: a pad byte follows
  testkit::putText(list, "INFOx");
  list.push_back(0);
  std::vector<uint8_t> fact;
  testkit::putText(fact, "fact");
  testkit::putLe32(fact, 4);
  testkit::putLe32(fact, 3);
  auto source = openWaveSource(std::make_unique<MemoryByteSource>(waveImage({1, -2, 3}, list, fact)));
  ASSERT_TRUE(source->good());
  EXPECT_EQ(readSource(*source, 3), (std::vector<Sample>{16, -32, 48}));

  // A recording that was never closed says 0xFFFFFFFF; one that claims more
  // than the file holds is cut to the file.
  for (uint32_t claimed : {0xFFFFFFFFu, 4000000000u, 1000u}) {
    auto open = openWaveSource(std::make_unique<MemoryByteSource>(waveImage({5, 6, 7, 8}, {}, {}, claimed)));
    ASSERT_TRUE(open->good());
    EXPECT_EQ(open->length(), 4) << claimed;
  }
}

TEST(WaveReader, RefusesBadHeadersAsCorruptAndMissingFilesAsUnopenable) {
  auto withFormat = [](uint16_t channels, uint32_t rate, uint32_t fmtSize, uint16_t bits = 16) {
    testkit::WaveImage image;
    image.channels = channels;
    image.rate = rate;
    image.fmtBytes = fmtSize;
    image.bits = bits;
    image.samples = testkit::le16Bytes({0x1234});
    return image.build();
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    SourceStatus status;
  } cases[] = {
      {"196,000 Hz", withFormat(1, 196000, 16), SourceStatus::Good},
      {"255 channels", withFormat(255, 8000, 16), SourceStatus::Good},
      {"196,001 Hz", withFormat(1, 196001, 16), SourceStatus::Corrupt},
      {"0 bits", withFormat(1, 8000, 16, 0), SourceStatus::Corrupt},
      {"33 bits", withFormat(1, 8000, 16, 33), SourceStatus::Corrupt},
      {"rate 0", withFormat(1, 0, 16), SourceStatus::Corrupt},
      {"256 channels", withFormat(256, 8000, 16), SourceStatus::Corrupt},
      {"0 channels", withFormat(0, 8000, 16), SourceStatus::Corrupt},
      {"fmt of 15 bytes", withFormat(1, 8000, 15), SourceStatus::Corrupt},
      {"fmt of 8,193 bytes", withFormat(1, 8000, 8193), SourceStatus::Corrupt},
      {"fmt of 18 bytes", withFormat(1, 8000, 18), SourceStatus::Good},
      {"not RIFF", std::vector<uint8_t>(64, 'x'), SourceStatus::Corrupt},
      {"empty", {}, SourceStatus::Corrupt},
  };
  for (auto& c : cases) {
    auto source = openWaveSource(std::make_unique<MemoryByteSource>(c.image));
    EXPECT_EQ(source->status(), c.status) << c.what;
  }
  EXPECT_EQ(openWaveSource(nullptr)->status(), SourceStatus::CannotOpen);
}

TEST(WaveReader, SeeksAndReadsSilenceOutsideTheData) {
  auto source = openWaveSource(std::make_unique<MemoryByteSource>(waveImage({1, 2, 3, 4, 5})));
  source->seek(-2);
  EXPECT_EQ(readSource(*source, 4), (std::vector<Sample>{0, 0, 16, 32}));
  source->seek(3);
  EXPECT_EQ(readSource(*source, 4), (std::vector<Sample>{64, 80, 0, 0}));
  EXPECT_EQ(source->position(), 7);
  source->seek(100);
  EXPECT_EQ(readSource(*source, 1), (std::vector<Sample>{0}));
}

TEST(WaveWriter, WritesTheExactHeaderAndSaturatesInsteadOfWrapping) {
  ScratchFolder scratch;
  std::string path = scratch.file("three.wav");
  writeWave(path, {0, 3 * 524272, -3 * 524272}, 1, 1);
  auto bytes = testkit::readAll(path);
  ASSERT_EQ(bytes.size(), 49u);
  EXPECT_EQ(le32(&bytes[4]), 41u);   // RIFF size
  EXPECT_EQ(le32(&bytes[16]), 18u);  // fmt size
  EXPECT_EQ(le16(&bytes[34]), 8u);
  EXPECT_EQ(le32(&bytes[42]), 3u);   // data size, no pad byte
  EXPECT_EQ((std::vector<uint8_t>(bytes.begin() + 46, bytes.end())), (std::vector<uint8_t>{128, 255, 0}));

  struct Case {
    int width;
    Sample loud;
    Sample expectedBack;
  } cases[] = {{2, 3 * 524272, 524272}, {2, -3 * 524272, -524288}, {3, 3 * 524272, 524287},
               {3, -3 * 524272, -524288}, {4, INT32_MAX, 524288}, {1, 524287, 520192}};
  for (const auto& c : cases) {
    std::string file = scratch.file("loud" + std::to_string(c.width) + ".wav");
    writeWave(file, {c.loud}, 1, c.width);
    auto back = openWave(file);
    EXPECT_EQ(readSource(*back, 1)[0], c.expectedBack) << c.width << " bytes";
  }
}

TEST(WaveWriter, FilesWeWriteReadBackInSoxWithTheSameSamples) {
  ZED_REQUIRE_TOOL("sox");
  ScratchFolder scratch;
  std::vector<Sample> samples;
  for (int i = 0; i < 4000; ++i) samples.push_back(((i * 7919) % 1048576) - 524288);
  for (int width : {1, 2, 3, 4}) {
    std::string path = scratch.file("ours" + std::to_string(width) + ".wav");
    writeWave(path, samples, 2, width, 11025);
    std::string raw = scratch.file("back" + std::to_string(width) + ".raw");
    ASSERT_EQ(testkit::runTool("sox " + path + " -t raw -e signed -b 32 " + raw), 0);
    EXPECT_EQ(testkit::toolOutput("soxi -r " + path), "11025\n");
    auto back = testkit::readPcm32(raw);
    auto reread = readSource(*openWave(path), 2000);
    ASSERT_EQ(back.size(), samples.size());
    size_t mismatches = 0;
    for (size_t i = 0; i < back.size(); ++i) {
      int64_t fromSox = width == 4 ? std::min<int64_t>((int64_t(back[i]) + 2048) >> 12, INT32_MAX) : back[i] >> 12;
      mismatches += fromSox != reread[i];
    }
    EXPECT_EQ(mismatches, 0u) << width;
  }
}

TEST(WaveWriter, SavingOverALongerFileCutsItAtTheNewEnd) {
  ScratchFolder scratch;
  std::string path = scratch.file("over.wav");
  writeWave(path, std::vector<Sample>(1000, 160), 1, 2);
  writeWave(path, std::vector<Sample>(10, 320), 1, 2);
  EXPECT_EQ(testkit::readAll(path).size(), 46u + 20u);
  auto back = openWave(path);
  EXPECT_EQ(back->length(), 10);
}

TEST(WaveWriter, ContinuesAtAStartFrameAndSeeksOnlyBackwards) {
  ScratchFolder scratch;
  std::string path = scratch.file("go-on.wav");
  writeWave(path, {16, 32, 48, 64}, 1, 2);
  {
    auto sink = makeWavePcmSink(path, 8000, 1, 2, 2);
    EXPECT_EQ(sink->position(), 2);
    std::vector<Sample> more{160, 176, 192};
    sink->write(more.data(), 3);
    sink->seek(10);  // forwards: ignored
    sink->seek(4);
    EXPECT_EQ(sink->position(), 4);
    EXPECT_EQ(sink->close(), SourceStatus::Good);
  }
  EXPECT_EQ(readSource(*openWave(path), 5), (std::vector<Sample>{16, 32, 160, 176, 0}));
  EXPECT_EQ(openWave(path)->length(), 4);
}

TEST(WaveWriter, FailuresShowInTheStatus) {
  ScratchFolder scratch;
  auto nowhere = makeWavePcmSink(scratch.file("no/such/folder/x.wav"), 8000, 1, 2);
  EXPECT_EQ(nowhere->status(), SourceStatus::CannotCreate);
  auto noChannels = makeWavePcmSink(scratch.file("zero.wav"), 8000, 0, 2);
  EXPECT_EQ(noChannels->status(), SourceStatus::CannotCreate);

  // A file whose data would pass the 32-bit sizes of the header fails instead
  // of writing a wrapped header. A sparse file puts the position near the limit.
  std::string big = scratch.file("big.wav");
  const int32_t nearLimit = 536870900;  // stereo 32-bit: 8 bytes a frame
  {
    sys::File file = sys::File::open(big, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
    ASSERT_TRUE(file.seek(46 + int64_t(nearLimit) * 8 - 1));
    ASSERT_EQ(file.write("", 1), 1u);
  }
  auto sink = makeWavePcmSink(big, 8000, 2, 4, nearLimit);
  EXPECT_EQ(sink->position(), nearLimit);
  std::vector<Sample> frames(2 * 100, 1);
  sink->write(frames.data(), 100);
  EXPECT_EQ(sink->close(), SourceStatus::CannotCreate);
}

uint32_t le32At(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

std::vector<uint8_t> firstBytes(const std::string& path, size_t count) {
  std::vector<uint8_t> bytes(count);
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::ReadWrite, sys::Disposition::OpenExisting);
  if (!file.isOpen() || file.read(bytes.data(), count) != count) bytes.clear();
  return bytes;
}

TEST(WaveWriter, AFileAtItsSizeLimitIsFinishedAndSaysItIsFull) {
  // Stereo 16-bit: 4 bytes a frame. The data may grow to 2^32 - 1 - 38 bytes,
  // so that the RIFF size (data + 38) still fits: 1,073,741,814 whole frames.
  ScratchFolder scratch;
  std::string big = scratch.file("long-recording.wav");
  const int32_t lastFrame = 1073741814;
  const int32_t start = lastFrame - 5;
  {
    // A sparse file puts the recording near the limit without writing 4 GiB.
    sys::File file = sys::File::open(big, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
    ASSERT_TRUE(file.seek(46 + int64_t(start) * 4 - 1));
    ASSERT_EQ(file.write("", 1), 1u);
  }
  auto sink = makeWavePcmSink(big, 44100, 2, 2, start);
  ASSERT_EQ(sink->position(), start);
  std::vector<Sample> frames(2 * 5, 16 * 1000);
  sink->write(frames.data(), 3);
  sink->write(frames.data(), 2);  // exactly up to the limit
  EXPECT_TRUE(sink->good());
  EXPECT_FALSE(sink->full());
  sink->write(frames.data(), 1);  // one frame more cannot be described
  EXPECT_TRUE(sink->full());
  EXPECT_EQ(sink->position(), lastFrame);
  EXPECT_EQ(sink->close(), SourceStatus::CannotCreate);

  // The file is finished with sizes that did not wrap, and reads to its end.
  std::vector<uint8_t> header = firstBytes(big, 46);
  ASSERT_EQ(header.size(), 46u);
  EXPECT_EQ(le32At(header, 4), 0xFFFFFFFEu);  // 4,294,967,256 bytes of data + 38
  EXPECT_EQ(le32At(header, 42), uint32_t(lastFrame) * 4);
  auto source = openWave(big);
  ASSERT_TRUE(source->good());
  EXPECT_EQ(source->length(), lastFrame);
  source->seek(lastFrame - 5);
  EXPECT_EQ(readSource(*source, 5), frames);
}

TEST(WaveWriter, AShortWriteIsAFailureButNotAFullFileAndKeepsWhatWasWritten) {
  ScratchFolder scratch;
  std::string path = scratch.file("disk-full.wav");
  auto sink = makeWavePcmSink(path, 8000, 1, 2);
  std::vector<Sample> samples(1000, 16 * 7);
  {
    testkit::FileSizeLimit limit(46 + 600);
    if (!limit.active()) GTEST_SKIP() << "no file size limit on this platform";
    sink->write(samples.data(), 250);
    sink->write(samples.data(), 250);  // passes the limit: written short
  }
  EXPECT_FALSE(sink->good());
  EXPECT_FALSE(sink->full());
  sink->close();
  auto source = openWave(path);
  ASSERT_TRUE(source->good());
  EXPECT_EQ(source->length(), 300);  // the 600 bytes that reached the disk
  EXPECT_EQ(le32At(firstBytes(path, 46), 42), 600u);
}

class RecordingUi : public FileUi {
 public:
  void showError(const std::string& text) override { errors.push_back(text); }
  bool chooseRawFormat(const std::string&, RawFormat& format) override {
    ++dialogs;
    format.sampleRate = 16000;
    return acceptRaw;
  }
  std::vector<std::string> errors;
  int dialogs = 0;
  bool acceptRaw = true;
};

TEST(OpenSoundFile, ShowsOneMessageForEachKindOfFailure) {
  ScratchFolder scratch;
  RecordingUi ui;
  auto settings = sys::makeMemorySettingsStore();
  FormatContext context{settings.get(), &ui, scratch.path()};
  std::string missing = scratch.file("gone.wav");
  std::string corrupt = scratch.file("bad.wav");
  std::string compressed = scratch.file("gsm.wav");
  testkit::writeAll(corrupt, std::vector<uint8_t>(100, 7));
  auto image = waveImage({1, 2});
  image[20] = 0x31;  // a GSM 6.10 format tag
  testkit::writeAll(compressed, image);
  std::string unknown = scratch.file("x.zzz");
  testkit::writeAll(unknown, {1, 2, 3});

  struct Case {
    std::string path;
    std::string message;
  } cases[] = {
      {missing, "Cannot open the file \"" + missing + "\". Check it exists and you have read access."},
      {corrupt, "Cannot open the file \"" + corrupt + "\" because it is corrupt."},
      {scratch.file("gone.mp3"), "Cannot open the file \"" + scratch.file("gone.mp3") +
                                     "\". Check it exists and you have read access."},
  };
  for (const auto& c : cases) {
    ui.errors.clear();
    OpenedSound opened = openSoundFile(c.path, context);
    EXPECT_EQ(opened.result, 2);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], c.message);
    EXPECT_FALSE(opened.source->good());
  }
  ui.errors.clear();
  OpenedSound codec = openSoundFile(compressed, context);
  EXPECT_EQ(codec.result, 2);
  ASSERT_EQ(ui.errors.size(), 1u);
  // Natively there are no codecs; on Windows the system's GSM codec opens it.
  if (codec.source->status() == SourceStatus::CodecMissing) {
    EXPECT_NE(ui.errors[0].find("required ACM codec is not installed"), std::string::npos);
  }
  ui.errors.clear();
  EXPECT_EQ(openSoundFile(unknown, context).result, 2);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_NE(ui.errors[0].find("not supported"), std::string::npos);

  std::string good = scratch.file("fine.WAV");
  writeWave(good, {16, 32}, 1, 2);
  ui.errors.clear();
  OpenedSound opened = openSoundFile(good, context);
  EXPECT_EQ(opened.result, 0);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(opened.source->length(), 2);
}

TEST(OpenSoundFile, RawFilesAskForTheirLayoutAndACancelOpensNothing) {
  ScratchFolder scratch;
  RecordingUi ui;
  auto settings = sys::makeMemorySettingsStore();
  FormatContext context{settings.get(), &ui, scratch.path()};
  std::string raw = scratch.file("take.raw");
  testkit::writeAll(raw, {0x10, 0, 0x20, 0});
  ui.acceptRaw = false;
  EXPECT_EQ(openSoundFile(raw, context).result, 1);
  ui.acceptRaw = true;
  OpenedSound opened = openSoundFile(raw, context);
  ASSERT_EQ(opened.result, 0);
  EXPECT_EQ(opened.source->sampleRate(), 16000);
  EXPECT_EQ(settings->read("RawAudio", "SampleRate", ""), "16000");
  EXPECT_EQ(ui.dialogs, 2);
}

TEST(CreateSoundFileSink, TheStoredWaveFormatChoosesTheWriter) {
  ScratchFolder scratch;
  FormatContext context{nullptr, nullptr, scratch.path()};
  std::vector<uint8_t> pcm24;
  for (uint32_t v : {1u, 2u}) testkit::putLe16(pcm24, v);           // tag, channels
  testkit::putLe32(pcm24, 48000);
  testkit::putLe32(pcm24, 48000 * 6);
  testkit::putLe16(pcm24, 6);
  testkit::putLe16(pcm24, 24);
  testkit::putLe16(pcm24, 0);
  ASSERT_TRUE(writeWavCodecFile(scratch.path(), pcm24));
  EXPECT_EQ(testkit::readAll(scratch.file("WavCodec.wff")).size(), 1024u);
  ASSERT_TRUE(readWavCodecFile(scratch.path()).has_value());
  {
    auto sink = createSoundFileSink(scratch.file("deep.wav"), 44100, 1, context);
    std::vector<Sample> one{524287};
    sink->write(one.data(), 1);
    ASSERT_EQ(sink->close(), SourceStatus::Good);
  }
  auto bytes = testkit::readAll(scratch.file("deep.wav"));
  EXPECT_EQ(le16(&bytes[34]), 24u);
  EXPECT_EQ(le32(&bytes[24]), 44100u);  // the sound's rate, not the stored one

  // A short "WavCodec.wff" is ignored: the default 16-bit PCM.
  testkit::writeAll(scratch.file("WavCodec.wff"), std::vector<uint8_t>(1023, 1));
  { createSoundFileSink(scratch.file("plain.wav"), 8000, 1, context)->close(); }
  EXPECT_EQ(le16(&testkit::readAll(scratch.file("plain.wav"))[34]), 16u);

  EXPECT_EQ(createSoundFileSink(scratch.file("x.unknown"), 8000, 1, context)->status(), SourceStatus::CannotCreate);
}

}  // namespace
