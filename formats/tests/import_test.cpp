// Importing files without a reader of their own. The decoder components are
// stood in for by small shell scripts, which only the native build can run;
// under Wine the real components are checked end to end with the editor.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "formats/formats.h"
#include "formats/import_messages.h"
#include "formats/import_output.h"
#include "formats/importers.h"
#include "sys/file.h"
#include "sys/folders.h"
#include "testkit/file_images.h"
#include "testkit/testkit.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

class RecordingUi : public FileUi {
 public:
  void showError(const std::string& text) override { errors.push_back(text); }
  bool chooseRawFormat(const std::string&, RawFormat&) override { return false; }
  std::vector<std::string> errors;
};

// A host whose components live in a map, whose installer registers what it
// was told to, and whose Cancel is pressed after a number of polls.
class FakeHost : public ImportHost {
 public:
  explicit FakeHost(std::string folder) : m_folder(std::move(folder)) {}
  void showImport(const std::string& title, const std::string& inputPath) override {
    titles.push_back(title);
    lines.push_back(inputPath);
  }
  void setProgress(int64_t done, int64_t total) override { bar.push_back(static_cast<double>(done) / total); }
  bool cancelled() override { return cancelAfterPolls >= 0 && ++polls > cancelAfterPolls; }
  std::string componentPath(const std::string& name) override {
    return name == registeredName ? registeredProgram : std::string();
  }
  JobResult installComponent(const std::string& name) override {
    installs.push_back(name);
    if (installResult == JobResult::Done) registeredName = name;
    return installResult;
  }
  std::string outputFolder() override { return m_folder; }

  std::string registeredName, registeredProgram;
  JobResult installResult = JobResult::Failed;
  int cancelAfterPolls = -1;
  int polls = 0;
  std::vector<std::string> titles, lines, installs;
  std::vector<double> bar;

 private:
  std::string m_folder;
};

testkit::Bytes waveOf(const std::vector<int16_t>& samples, uint16_t channels, uint32_t rate) {
  testkit::WaveImage image;
  image.channels = channels;
  image.rate = rate;
  image.samples = testkit::le16Bytes(samples);
  return image.build();
}

std::vector<Sample> readAllSamples(SampleSource& source) {
  std::vector<Sample> samples(static_cast<size_t>(source.length()) * source.channels());
  source.read(samples.data(), source.length());
  return samples;
}

struct ImportFixture : ::testing::Test {
  testkit::ScratchFolder scratch;
  std::string temp = scratch.file("temp");
  FakeHost host{temp};
  RecordingUi ui;
  FormatContext context;
  void SetUp() override {
    sys::createFolder(temp);
    context.ui = &ui;
    context.importer = &host;
  }
  // Writes an input file of the given name holding bytes.
  std::string input(const std::string& name, const testkit::Bytes& bytes) {
    std::string path = scratch.file(name);
    testkit::writeAll(path, bytes);
    return path;
  }
  // Registers a stand-in decoder for component: a shell script with body.
  void registerDecoder(const std::string& component, const std::string& body) {
    std::string script = scratch.file(component + ".sh");
    testkit::writeAll(script, testkit::Bytes(body.begin(), body.end()));
#ifndef _WIN32
    chmod(script.c_str(), 0755);
#endif
    host.registeredName = component;
    host.registeredProgram = script;
  }
};

#ifdef _WIN32
#define SKIP_WITHOUT_SHELL() GTEST_SKIP() << "the stand-in decoders are shell scripts"
#else
#define SKIP_WITHOUT_SHELL() (void)0
#endif

TEST(ImportRoutes, EachExtensionHasItsTitleAndDecoderCommandLine) {
  struct Case {
    const char* extension;
    const char* title;
    const char* commandLine;  // of program P, input I, output O; empty for other mechanisms
  };
  const Case cases[] = {
      {".aac", "Decoding AAC file", "\"P\" -d  -o \"O\" \"I\""},
      {".m4a", "Decoding AAC file", "\"P\" -d  -o \"O\" \"I\""},
      {".ogg", "Decoding Ogg file", "\"P\" -o \"O\" \"I\""},
      {".flac", "Decoding FLAC file", "\"P\" -d -f -o \"O\" \"I\""},
      {".amr", "Loading AMR file", "\"P\" \"I\" \"O\""},
      {".act", "Decoding Record file", "\"P\" \"I\" \"O\""},
      {".rcd", "Decoding Record file", "\"P\" \"I\" \"O\""},
      {".shn", "Decoding Shn file", "\"P\" -x \"I\" \"O\""},
      {".wma", "Decoding with DirectX", ""},
      {".xyz", "Decoding with DirectX", ""},
      {".dct", "Loading DCT File", ""},
      {".dss", "Decoding DSS File", ""},
      {".rm", "Decoding Real Audio", ""},
      {".sri", "Decoding VoiceIt File", ""},
  };
  for (const Case& c : cases) {
    ImportRoute route = importRouteFor(c.extension);
    EXPECT_EQ(route.title, c.title) << c.extension;
    if (*c.commandLine)
      EXPECT_EQ(decoderCommandLine(route, "P", "I", "O"), c.commandLine) << c.extension;
    else
      EXPECT_NE(route.mechanism, ImportMechanism::Component) << c.extension;
  }
  EXPECT_TRUE(importRouteFor(".amr").rawOutput);
}

TEST_F(ImportFixture, TemporaryFilesAreNumberedFromOneAndStaleOnesDeleted) {
  std::string first = claimImportOutput(temp, ".wav");
  EXPECT_EQ(sys::fileNameOf(first), "Temp1.wav");
  testkit::writeAll(first, {1, 2, 3});
  // Left behind by an earlier import and no longer held: taken again, empty.
  EXPECT_EQ(claimImportOutput(temp, ".wav"), first);
  EXPECT_FALSE(sys::fileExists(first));
  EXPECT_EQ(sys::fileNameOf(claimImportOutput(temp, ".raw")), "Temp1.raw");
#ifdef _WIN32
  // Held open by someone else (no delete sharing): that number is skipped.
  testkit::writeAll(first, {1, 2, 3});
  sys::File held = sys::File::open(first, sys::Access::Read, sys::Share::ReadWrite, sys::Disposition::OpenExisting);
  ASSERT_TRUE(held.isOpen());
  EXPECT_EQ(sys::fileNameOf(claimImportOutput(temp, ".wav")), "Temp2.wav");
#endif
}

TEST_F(ImportFixture, ADecodedFileOpensWithTheDecodersSamplesAndTheRouteTitle) {
  SKIP_WITHOUT_SHELL();
  std::vector<int16_t> samples = {0, 1000, -1000, 32767, -32768, 5, 7, -9};
  std::string flac = input("song.flac", waveOf(samples, 2, 44100));
  // Arguments: -d -f -o OUTPUT INPUT; the stand-in copies its input, a WAVE.
  registerDecoder("flacdec", "#!/bin/sh\n[ \"$1 $2 $3\" = \"-d -f -o\" ] || exit 3\ncp \"$5\" \"$4\"\n");
  OpenedSound opened = openSoundFile(flac, context);
  ASSERT_EQ(opened.result, 0) << (ui.errors.empty() ? "" : ui.errors[0]);
  EXPECT_EQ(opened.source->sampleRate(), 44100);
  EXPECT_EQ(opened.source->channels(), 2);
  std::vector<Sample> expected;
  for (int16_t v : samples) expected.push_back(v * 16);
  EXPECT_EQ(readAllSamples(*opened.source), expected);
  EXPECT_EQ(host.titles, std::vector<std::string>{"Decoding FLAC file"});
  EXPECT_EQ(host.lines, std::vector<std::string>{flac});
  EXPECT_TRUE(host.installs.empty());
}

TEST_F(ImportFixture, AnAmrDecodersRawOutputIsEightKilohertzMono) {
  SKIP_WITHOUT_SHELL();
  std::vector<int16_t> samples = {100, -200, 300, -400, 500};
  std::string amr = input("memo.amr", {'#', '!', 'A', 'M', 'R', '\n'});
  std::string raw = scratch.file("decoded.raw");
  testkit::writeAll(raw, testkit::le16Bytes(samples));
  // Arguments: INPUT OUTPUT.
  registerDecoder("amrdec", "#!/bin/sh\n[ \"$1\" = \"" + amr + "\" ] || exit 3\ncp \"" + raw + "\" \"$2\"\n");
  OpenedSound opened = openSoundFile(amr, context);
  ASSERT_EQ(opened.result, 0) << (ui.errors.empty() ? "" : ui.errors[0]);
  EXPECT_EQ(opened.source->sampleRate(), 8000);
  EXPECT_EQ(opened.source->channels(), 1);
  EXPECT_EQ(readAllSamples(*opened.source), (std::vector<Sample>{1600, -3200, 4800, -6400, 8000}));
}

TEST_F(ImportFixture, ADecoderThatFailsOrLeavesAnUnfinishedFileIsRefusedAsCorrupt) {
  SKIP_WITHOUT_SHELL();
  std::string ogg = input("talk.ogg", {'O', 'g', 'g', 'S'});
  testkit::WaveImage unfinished;
  unfinished.dataBytes = 0xFFFFFFFF;
  unfinished.samples = testkit::patternBytes(400);
  std::string unfinishedWave = input("unfinished.wav", unfinished.build());
  std::string goodWave = input("good.wav", waveOf({1, 2, 3, 4}, 1, 8000));
  // A whole header the WAVE reader refuses: its message names the file the
  // user opened, not the temporary one.
  testkit::WaveImage noChannels;
  noChannels.channels = 0;
  std::string noChannelsWave = input("nochannels.wav", noChannels.build());
  struct Case {
    const char* what;
    std::string script;
    bool outputDeleted;  // a decoder's failure leaves nothing behind
  };
  const Case cases[] = {
      {"a good file, then exit code 1", "#!/bin/sh\ncp \"" + goodWave + "\" \"$2\"\nexit 1\n", true},
      {"a header whose data size was never filled in", "#!/bin/sh\ncp \"" + unfinishedWave + "\" \"$2\"\n",
       true},
      {"no output at all", "#!/bin/sh\nexit 0\n", true},
      {"output that is not WAVE", "#!/bin/sh\necho garbage > \"$2\"\n", true},
      {"a WAVE file of no channels", "#!/bin/sh\ncp \"" + noChannelsWave + "\" \"$2\"\n", false},
  };
  for (const Case& c : cases) {
    ui.errors.clear();
    registerDecoder("oggdec", c.script);
    OpenedSound opened = openSoundFile(ogg, context);
    EXPECT_EQ(opened.result, 2) << c.what;
    EXPECT_EQ(ui.errors, std::vector<std::string>{import_messages::corrupt(ogg)}) << c.what;
    if (c.outputDeleted) {
      EXPECT_FALSE(sys::fileExists(sys::joinPath(temp, "Temp1.wav"))) << c.what;
    }
  }
}

#ifndef _WIN32
TEST_F(ImportFixture, CancelEndsTheDecoderAndDeletesWhatItWrote) {
  std::string shn = input("long.shn", {'a', 'j', 'k', 'g'});
  std::string late = scratch.file("late");
  // Writes a start of its output, then takes its time over the rest.
  registerDecoder("shndec", "#!/bin/sh\necho RIFF > \"$3\"\nsleep 1\necho late > \"" + late +
                                "\"\necho more >> \"$3\"\n");
  host.cancelAfterPolls = 5;
  OpenedSound opened = openSoundFile(shn, context);
  EXPECT_EQ(opened.result, 1);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_FALSE(sys::fileExists(sys::joinPath(temp, "Temp1.wav")));
  // A decoder left running would have gone on after its pause.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_FALSE(sys::fileExists(late)) << "the decoder went on after Cancel";
  EXPECT_FALSE(sys::fileExists(sys::joinPath(temp, "Temp1.wav")));
}

TEST_F(ImportFixture, TheBarCreepsWhileTheDecoderRunsAndATooLongRunFails) {
  std::string aac = input("slow.aac", {0xFF, 0xF1});
  registerDecoder("aacdec", "#!/bin/sh\nexec sleep 60\n");
  ImportRoute route = importRouteFor(".aac");
  std::string output = sys::joinPath(temp, "Temp1.wav");
  DecoderLimits limits;
  limits.sliceMs = 10;
  limits.longestMs = 400;
  ImportOutcome outcome = importWithComponent(route, aac, output, host, limits);
  EXPECT_EQ(outcome.result, JobResult::Failed);
  EXPECT_EQ(outcome.message, import_messages::cannotOpen(aac));
  ASSERT_GE(host.bar.size(), 3u);
  EXPECT_NEAR(host.bar[0], 0.03, 1e-5);
  EXPECT_NEAR(host.bar[1], 1 - 0.97 * 0.99, 1e-5);
  for (size_t i = 1; i < host.bar.size(); ++i) EXPECT_GT(host.bar[i], host.bar[i - 1]);
  EXPECT_LT(host.bar.back(), 1.0);
}
#endif

TEST_F(ImportFixture, AMissingComponentIsInstalledOnDemandOrNamedInTheMessage) {
  std::string flac = input("a.flac", {'f', 'L', 'a', 'C'});
  struct Case {
    JobResult install;
    int result;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {JobResult::Cancelled, 1, {}},
      {JobResult::Failed, 2, {import_messages::componentNotInstalled("flacdec")}},
  };
  for (const Case& c : cases) {
    ui.errors.clear();
    host.installs.clear();
    host.installResult = c.install;
    OpenedSound opened = openSoundFile(flac, context);
    EXPECT_EQ(opened.result, c.result);
    EXPECT_EQ(host.installs, std::vector<std::string>{"flacdec"});
    EXPECT_EQ(ui.errors, c.errors);
  }
}

TEST_F(ImportFixture, FilesNoImporterCanDecodeGetTheMessageOfTheirKind) {
  // Natively there is no media framework and no vendor library: every one of
  // these ends in its message.
  const std::string wma = input("song.wma", {0x30, 0x26, 0xB2, 0x75});
  const std::string msv = input("memo.msv", {1, 2});
  const std::string odd = input("clip.xyz", {1, 2});
  const std::string sri = input("note.sri", {1, 2});
  const std::string ra = input("show.ra", {'.', 'r', 'a'});
  const std::string dss = input("memo.dss", {2, 'd', 's', 's'});
  const std::string dct = input("memo.dct", {1, 2, 3});
  const std::string emptyDct = input("empty.dct", {});
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {wma, import_messages::protectedOrCorruptWma(wma)},
      {msv, import_messages::vendorCodecMissing(msv)},
      {odd, import_messages::unsupported(odd)},
      {scratch.file("gone.xyz"), import_messages::missing(scratch.file("gone.xyz"))},
      {sri, import_messages::voiceItMissing()},
      {ra, import_messages::realAudioMissing()},
      {dss, import_messages::dssMissing()},
      {dct, import_messages::dictationLoadError()},
      {emptyDct, import_messages::dictationCorrupt()},
  };
  for (const Case& c : cases) {
    ui.errors.clear();
    OpenedSound opened = openSoundFile(c.path, context);
    EXPECT_EQ(opened.result, 2) << c.path;
    EXPECT_EQ(ui.errors, std::vector<std::string>{c.message}) << c.path;
  }
  EXPECT_FALSE(sys::fileExists(sys::joinPath(temp, "Temp1.wav")));
}

TEST(ImportMessages, NameThePathTheUserOpened) {
  EXPECT_EQ(import_messages::protectedOrCorruptWma("C:\\a.wma"),
            "Cannot open file \"C:\\a.wma\". It is possible that the file does not exist, it is corrupt or the file "
            "is protected with Digital Rights Management (DRM) which limits the recording to limited players.");
  EXPECT_EQ(import_messages::corrupt("C:\\a.ogg"), "Cannot open the file \"C:\\a.ogg\" because it is corrupt.");
}

TEST(DecodedWaveCheck, RefusesHeadersADecoderNeverFinished) {
  testkit::WaveImage finished;
  testkit::WaveImage unfinished;
  unfinished.dataBytes = 0xFFFFFFFF;
  testkit::Bytes cut = finished.build();
  cut.resize(30);
  struct Case {
    const char* what;
    testkit::Bytes bytes;
    bool complete;
  };
  const Case cases[] = {{"finished", finished.build(), true},
                        {"data size 0xFFFFFFFF", unfinished.build(), false},
                        {"cut inside the header", cut, false},
                        {"empty", {}, false}};
  for (const Case& c : cases) {
    MemoryByteSource bytes(c.bytes);
    EXPECT_EQ(decodedWaveIsComplete(bytes), c.complete) << c.what;
  }
}

}  // namespace
