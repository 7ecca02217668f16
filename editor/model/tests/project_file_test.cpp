#include "editor/model/project_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "formats/formats.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"
#include "testkit/block_store_environment.h"
#include "testkit/testkit.h"

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("editor-model-blocks");

SoundBuffer soundOf(const std::vector<Sample>& samples, int32_t rate, int channels) {
  SoundBuffer sound(rate, channels);
  SampleSinkRef writer = sound.openWriter(rate, channels);
  writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  writer->close();
  return sound;
}

std::vector<Sample> samplesOf(const SoundBuffer& sound) {
  std::vector<Sample> samples(static_cast<size_t>(sound.totalFrames()) * sound.channels());
  sound.openReader()->read(samples.data(), sound.totalFrames());
  return samples;
}

// Frame f of channel c: a pattern that differs in every byte of each sample.
std::vector<Sample> pattern(int32_t frames, int channels, int seed) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<Sample>((i * 2654435761u + seed * 40503u) % (1u << 24)) - (1 << 23);
  return samples;
}

struct Collected : ProjectLoadTarget {
  std::vector<ProjectDocument> documents;
  std::vector<Bookmark> looseBookmarks;
  std::vector<Region> regions;
  void documentLoaded(ProjectDocument document) override { documents.push_back(std::move(document)); }
  void bookmarkLoaded(Bookmark bookmark) override { looseBookmarks.push_back(std::move(bookmark)); }
  void regionLoaded(Region region) override { regions.push_back(std::move(region)); }
};

ProjectReadStatus readBytes(const std::vector<uint8_t>& bytes, Collected& out) {
  MemoryByteSource source(bytes);
  return readProject(source, out);
}

Region regionOf(const std::string& name, SoundBuffer sound, int32_t start) {
  Region region;
  region.name = name;
  region.sourceName = "a.wav";
  region.start = start;
  region.end = start + sound.totalFrames();
  region.sound = std::move(sound);
  return region;
}

struct CountingProgress : ProjectProgress {
  int64_t calls = 0;
  int64_t stopAfter = -1;
  std::vector<std::string> stages;
  bool progress(int64_t, int64_t) override { return stopAfter < 0 || ++calls <= stopAfter; }
  void stage(const std::string& line) override { stages.push_back(line); }
};

}  // namespace

TEST(ProjectFile, TwoFilesWithBookmarksAndThreeRegionsComeBackEqual) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  // A stereo 24-bit file as another program writes it, and a mono one of ours.
  std::string wave = folder.file("tone.wav");
  ASSERT_EQ(testkit::runTool("sox -D -n -r 44100 -c 2 -b 24 " + wave + " synth 0.7 sine 440 sine 660 2>/dev/null"), 0);
  SoundBuffer stereo;
  ASSERT_EQ(loadSoundFile(wave, FormatContext{}, stereo), JobResult::Done);
  ASSERT_EQ(stereo.channels(), 2);
  ASSERT_EQ(stereo.totalFrames(), 30870);

  std::vector<ProjectDocument> documents(2);
  documents[0].path = wave;
  documents[0].place = {1200, 1000, 20000, 500, 30000};
  documents[0].bookmarks = {{"Intro", "tone.wav", 0, 1, 0}, {"Chorus", "tone.wav", 22050, 1, 7}};
  documents[0].sound = stereo;
  documents[1].path = "Untitled 1";
  documents[1].place = {5, 0, 0, 0, 8000};
  documents[1].bookmarks = {{"Only", "Untitled 1", -3, 0, -1}};
  documents[1].sound = soundOf(pattern(9000, 1, 2), 8000, 1);
  std::vector<Region> regions;
  regions.push_back(regionOf("First", soundOf(pattern(100, 2, 3), 44100, 2), 10));
  regions.push_back(regionOf("Zweite \xC3\xBC", soundOf(pattern(20000, 1, 4), 22050, 1), 0));
  regions.push_back(regionOf("Empty", SoundBuffer(11025, 2), 7));

  std::string path = folder.file("work.vrp");
  CountingProgress progress;
  ASSERT_EQ(writeProjectFile(path, documents, regions, &progress), ProjectWriteStatus::Done);
  EXPECT_EQ(progress.stages, (std::vector<std::string>{"Saving files...", "Saving regions..."}));
  EXPECT_EQ(sys::listFiles(folder.path()).size(), 2u) << "no temporary file is left beside the project";

  Collected loaded;
  auto bytes = openFileBytes(path);
  ASSERT_TRUE(bytes);
  CountingProgress readProgress;
  ASSERT_EQ(readProject(*bytes, loaded, &readProgress), ProjectReadStatus::Done);
  EXPECT_EQ(readProgress.stages, (std::vector<std::string>{"Loading files...", "Loading region..."}));
  ASSERT_EQ(loaded.documents.size(), 2u);
  EXPECT_TRUE(loaded.looseBookmarks.empty());
  for (size_t i = 0; i < 2; ++i) {
    const ProjectDocument& got = loaded.documents[i];
    EXPECT_EQ(got.path, documents[i].path);
    EXPECT_EQ(got.place, documents[i].place);
    EXPECT_EQ(got.bookmarks, documents[i].bookmarks);
    EXPECT_EQ(got.sound.sampleRate(), documents[i].sound.sampleRate());
    EXPECT_EQ(got.sound.channels(), documents[i].sound.channels());
    EXPECT_EQ(samplesOf(got.sound), samplesOf(documents[i].sound));
  }
  ASSERT_EQ(loaded.regions.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const Region& got = loaded.regions[i];
    EXPECT_EQ(got.name, regions[i].name);
    EXPECT_EQ(got.sourceName, regions[i].sourceName);
    EXPECT_EQ(got.start, regions[i].start);
    EXPECT_EQ(got.end, regions[i].end);
    EXPECT_EQ(got.sound.sampleRate(), regions[i].sound.sampleRate());
    EXPECT_EQ(got.sound.channels(), regions[i].sound.channels());
    EXPECT_EQ(samplesOf(got.sound), samplesOf(regions[i].sound));
  }
}

TEST(ProjectFile, TextAndSoundFieldsHaveTheirStoredSizes) {
  testkit::ScratchFolder folder;
  struct Case {
    size_t nameBytes;
    std::vector<uint8_t> lengthField;
  } cases[] = {{0, {0}}, {254, {254}}, {255, {0xFF, 255, 0, 0, 0}}, {70000, {0xFF, 0x70, 0x11, 0x01, 0}}};
  for (const Case& c : cases) {
    std::vector<ProjectDocument> documents(1);
    documents[0].path = std::string(c.nameBytes, 'p');
    documents[0].sound = soundOf(pattern(10000, 2, 1), 48000, 2);
    std::string path = folder.file("sizes.vrp");
    ASSERT_EQ(writeProjectFile(path, documents, {}), ProjectWriteStatus::Done);
    std::vector<uint8_t> bytes = testkit::readAll(path);
    // version, count, path, five values, bookmark count, the sound, region count
    const size_t soundField = 4 + 1 + 4 + 80000;
    ASSERT_EQ(bytes.size(), 2 + c.lengthField.size() + c.nameBytes + 20 + 1 + soundField + 1) << c.nameBytes;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 2, bytes.begin() + 2 + c.lengthField.size()), c.lengthField);
    EXPECT_EQ(bytes.back(), 0) << "a project without regions ends with a region count of 0";
    size_t sound = 2 + c.lengthField.size() + c.nameBytes + 21;
    EXPECT_EQ(le32(&bytes[sound]), 48000u);
    EXPECT_EQ(bytes[sound + 4], 2);
    EXPECT_EQ(le32(&bytes[sound + 5]), 10000u);
    Collected loaded;
    ASSERT_EQ(readBytes(bytes, loaded), ProjectReadStatus::Done);
    EXPECT_EQ(loaded.documents.at(0).path.size(), c.nameBytes);
  }
}

TEST(ProjectFile, VersionOneFilesKeepBookmarksInTheirOwnSection) {
  auto fixedText = [](std::vector<uint8_t>& out, const std::string& text) {
    std::string field = text;
    field.resize(kVersion1TextBytes, '\0');
    out.insert(out.end(), field.begin(), field.end());
  };
  auto sound = [](std::vector<uint8_t>& out, uint32_t rate, uint8_t channels, const std::vector<int32_t>& samples) {
    appendLe32(out, rate);
    out.push_back(channels);
    appendLe32(out, static_cast<uint32_t>(samples.size() / channels));
    for (int32_t s : samples) appendLe32(out, static_cast<uint32_t>(s));
  };
  std::vector<uint8_t> bytes = {1, 2};
  fixedText(bytes, "C:\\music\\one.wav");
  for (int32_t v : {3, 1, 4, 0, 5}) appendLe32(bytes, static_cast<uint32_t>(v));
  sound(bytes, 8000, 1, {10, -20, 30});
  fixedText(bytes, "C:\\music\\two.wav");
  for (int32_t v : {0, 0, 0, 0, 2}) appendLe32(bytes, 0u + v);
  sound(bytes, 22050, 2, {1, 2, 3, 4});
  bytes.push_back(2);  // bookmarks
  fixedText(bytes, "Verse");
  fixedText(bytes, "two.wav");
  appendLe32(bytes, 1);
  bytes.push_back(1);
  appendLe32(bytes, 0);
  fixedText(bytes, "Start");
  fixedText(bytes, "one.wav");
  appendLe32(bytes, 2);
  bytes.push_back(1);
  appendLe32(bytes, 9);
  bytes.push_back(1);  // regions
  fixedText(bytes, "Hook");
  fixedText(bytes, "one.wav");
  appendLe32(bytes, 1);
  appendLe32(bytes, 3);
  sound(bytes, 8000, 1, {-20, 30});

  Collected loaded;
  ASSERT_EQ(readBytes(bytes, loaded), ProjectReadStatus::Done);
  ASSERT_EQ(loaded.documents.size(), 2u);
  EXPECT_EQ(loaded.documents[0].path, "C:\\music\\one.wav");
  EXPECT_EQ(loaded.documents[0].place, (DocumentPlace{3, 1, 4, 0, 5}));
  EXPECT_EQ(samplesOf(loaded.documents[0].sound), (std::vector<Sample>{10, -20, 30}));
  EXPECT_EQ(loaded.documents[1].sound.channels(), 2);
  EXPECT_EQ(loaded.documents[1].sound.sampleRate(), 22050);
  EXPECT_TRUE(loaded.documents[0].bookmarks.empty());
  EXPECT_EQ(loaded.looseBookmarks, (std::vector<Bookmark>{{"Verse", "two.wav", 1, 1, 0}, {"Start", "one.wav", 2, 1, 9}}));
  ASSERT_EQ(loaded.regions.size(), 1u);
  EXPECT_EQ(loaded.regions[0].name, "Hook");
  EXPECT_EQ(loaded.regions[0].end, 3);
  EXPECT_EQ(samplesOf(loaded.regions[0].sound), (std::vector<Sample>{-20, 30}));
}

namespace {

// A version 2 project of one mono file named "a" with the given sound field
// bytes after it and no regions.
std::vector<uint8_t> projectWithSound(uint32_t rate, uint8_t channels, uint32_t frames, size_t sampleBytes) {
  std::vector<uint8_t> bytes = {2, 1, 1, 'a'};
  for (int i = 0; i < 5; ++i) appendLe32(bytes, 0);
  bytes.push_back(0);
  appendLe32(bytes, rate);
  bytes.push_back(channels);
  appendLe32(bytes, frames);
  bytes.resize(bytes.size() + sampleBytes, 0x11);
  bytes.push_back(0);
  return bytes;
}

}  // namespace

TEST(ProjectFile, DamagedLengthsFormatsAndCountsAreRefused) {
  Collected sane;
  ASSERT_EQ(readBytes(projectWithSound(8000, 2, 3, 24), sane), ProjectReadStatus::Done);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"no channels", projectWithSound(8000, 0, 3, 24)},
      {"rate 0", projectWithSound(0, 1, 3, 12)},
      {"rate above 196,000", projectWithSound(196001, 1, 3, 12)},
      {"a sample short, counting the region byte", projectWithSound(8000, 2, 3, 22)},
      {"frames whose bytes pass 32 bits", projectWithSound(8000, 255, 0x7FFFFFFF, 64)},
      {"negative frame count", projectWithSound(8000, 1, 0xFFFFFFFF, 64)},
      {"text longer than the file", {2, 1, 200, 'a', 'b'}},
      {"long text longer than the file", {2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}},
      {"file count with no files", {2, 3}},
      {"nothing after the version", {2}},
  };
  for (const Case& c : cases) {
    Collected loaded;
    EXPECT_EQ(readBytes(c.bytes, loaded), ProjectReadStatus::Damaged) << c.what;
    EXPECT_TRUE(loaded.documents.empty()) << c.what;
  }
  // A text longer than any path, even with all its bytes there.
  std::vector<uint8_t> longText = {2, 1, 0xFF};
  appendLe32(longText, kMaxProjectTextBytes + 1);
  longText.resize(longText.size() + kMaxProjectTextBytes + 200, 'x');
  Collected loaded;
  EXPECT_EQ(readBytes(longText, loaded), ProjectReadStatus::Damaged);
  for (std::vector<uint8_t> version : {std::vector<uint8_t>{}, {0}, {3, 0, 0}, {0xFF}}) {
    Collected none;
    EXPECT_EQ(readBytes(version, none), ProjectReadStatus::WrongVersion);
  }
  // The highest rate and the most channels are still a sound.
  Collected edge;
  EXPECT_EQ(readBytes(projectWithSound(196000, 255, 1, 255 * 4), edge), ProjectReadStatus::Done);
  EXPECT_EQ(edge.documents.at(0).sound.channels(), 255);
}

TEST(ProjectFile, ACutProjectKeepsTheFilesReadBeforeTheCut) {
  testkit::ScratchFolder folder;
  std::vector<ProjectDocument> documents(2);
  documents[0].path = "one";
  documents[0].sound = soundOf(pattern(20, 1, 5), 8000, 1);
  documents[1].path = "two";
  documents[1].bookmarks = {{"b", "two", 1, 1, 0}};
  documents[1].sound = soundOf(pattern(10, 2, 6), 8000, 2);
  std::vector<Region> regions;
  regions.push_back(regionOf("r", soundOf(pattern(5, 1, 7), 8000, 1), 0));
  std::string path = folder.file("cut.vrp");
  ASSERT_EQ(writeProjectFile(path, documents, regions), ProjectWriteStatus::Done);
  std::vector<uint8_t> whole = testkit::readAll(path);
  const size_t firstEnds = 2 + 4 + 20 + 1 + 9 + 80;
  // The region count, name, source name, start and end, the sound's 5 frames.
  const size_t secondEnds = whole.size() - (1 + 2 + 6 + 8 + 9 + 20);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    Collected loaded;
    std::vector<uint8_t> bytes(whole.begin(), whole.begin() + cut);
    ProjectReadStatus status = readBytes(bytes, loaded);
    EXPECT_EQ(status, cut == 0 ? ProjectReadStatus::WrongVersion : ProjectReadStatus::Damaged) << cut;
    EXPECT_EQ(loaded.documents.size(), cut < firstEnds ? 0u : cut < secondEnds ? 1u : 2u) << cut;
    EXPECT_TRUE(loaded.regions.empty()) << cut;
  }
}

TEST(ProjectFile, SavesThatCannotFinishLeaveTheOldProjectAsItWas) {
  testkit::ScratchFolder folder;
  std::string path = folder.file("keep.vrp");
  std::vector<ProjectDocument> documents(1);
  documents[0].path = "big";
  documents[0].sound = soundOf(pattern(100000, 2, 9), 44100, 2);
  ASSERT_EQ(writeProjectFile(path, documents, {}), ProjectWriteStatus::Done);
  const std::vector<uint8_t> before = testkit::readAll(path);

  // Cancelled half-way.
  documents[0].sound = soundOf(pattern(100000, 2, 10), 44100, 2);
  CountingProgress cancel;
  cancel.stopAfter = 5;
  EXPECT_EQ(writeProjectFile(path, documents, {}, &cancel), ProjectWriteStatus::Cancelled);
  EXPECT_EQ(testkit::readAll(path), before);

  // More than a count byte holds: refused before anything is written.
  std::vector<ProjectDocument> many(256);
  for (auto& document : many) document.sound = SoundBuffer(8000, 1);
  EXPECT_NE(projectCountProblem(many, {}).find("255 files"), std::string::npos);
  EXPECT_EQ(writeProjectFile(path, many, {}), ProjectWriteStatus::TooManyItems);
  std::vector<ProjectDocument> marked(1);
  marked[0].bookmarks.resize(256);
  EXPECT_NE(projectCountProblem(marked, {}).find("255 bookmarks"), std::string::npos);
  EXPECT_EQ(writeProjectFile(path, marked, {}), ProjectWriteStatus::TooManyItems);
  std::vector<Region> regions(256);
  EXPECT_NE(projectCountProblem({}, regions).find("255 regions"), std::string::npos);
  EXPECT_EQ(writeProjectFile(path, {}, regions), ProjectWriteStatus::TooManyItems);
  EXPECT_TRUE(projectCountProblem(std::vector<ProjectDocument>(255), std::vector<Region>(255)).empty());
  EXPECT_EQ(testkit::readAll(path), before);

  // A full disk in the middle of the write.
  testkit::FileSizeLimit limit(static_cast<int64_t>(before.size()) / 2);
  if (limit.active()) {
    EXPECT_EQ(writeProjectFile(path, documents, {}), ProjectWriteStatus::Failed);
  }
  EXPECT_EQ(sys::listFiles(folder.path()).size(), 1u) << "the unfinished file is removed";
  // A folder that does not exist.
  EXPECT_EQ(writeProjectFile(folder.file("missing/x.vrp"), documents, {}), ProjectWriteStatus::CannotCreate);
}
