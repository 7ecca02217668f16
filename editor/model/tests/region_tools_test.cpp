#include "editor/model/region_tools.h"

#include <gtest/gtest.h>

#include "editor/model/named_list.h"
#include "testkit/block_store_environment.h"

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("editor-model-blocks");

SoundBuffer constantSound(Sample value, int32_t frames, int32_t rate, int channels) {
  SoundBuffer sound(rate, channels);
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels, value);
  SampleSinkRef writer = sound.openWriter(rate, channels);
  writer->write(samples.data(), frames);
  writer->close();
  return sound;
}

Region regionOf(SoundBuffer sound) {
  Region region;
  region.sound = std::move(sound);
  return region;
}

// Cancels at the first question.
struct Refusing : ProgressCallback {
  bool progress(int64_t, int64_t) override { return false; }
};

}  // namespace

TEST(RegionTools, AssembleBringsEveryRegionToTheFirstOnesFormat) {
  std::vector<Region> regions;
  regions.push_back(regionOf(constantSound(1000, 8000, 8000, 1)));   // 1 s mono 8 kHz
  regions.push_back(regionOf(constantSound(2000, 16000, 16000, 2)));  // 1 s stereo 16 kHz
  regions.push_back(regionOf(constantSound(3000, 4000, 8000, 1)));   // 0.5 s, already matching
  LinearFallbackConverter converter;
  SoundBuffer joined;
  ASSERT_EQ(assembleRegions(regions, converter, nullptr, joined), JobResult::Done);
  EXPECT_EQ(joined.sampleRate(), 8000);
  EXPECT_EQ(joined.channels(), 1);
  EXPECT_NEAR(joined.totalFrames(), 8000 + 8000 + 4000, 2) << "each region keeps its duration";
  std::vector<Sample> samples(static_cast<size_t>(joined.totalFrames()));
  joined.openReader()->read(samples.data(), joined.totalFrames());
  EXPECT_EQ(samples[100], 1000);
  EXPECT_EQ(samples[12000], 2000) << "the stereo region is in the middle, as mono";
  EXPECT_EQ(samples.back(), 3000);

  SoundBuffer untouched = constantSound(7, 10, 8000, 1);
  SoundBuffer out = untouched;
  Refusing refusing;
  EXPECT_EQ(assembleRegions(regions, converter, &refusing, out), JobResult::Cancelled);
  EXPECT_EQ(out.totalFrames(), 10);
  EXPECT_EQ(assembleRegions({}, converter, nullptr, out), JobResult::Failed);
  EXPECT_EQ(out.totalFrames(), 10);
}

TEST(RegionTools, RegionsShareTheSelectedAudio) {
  SoundBuffer sound = constantSound(5, 1000, 22050, 2);
  Region region;
  ASSERT_TRUE(makeRegion(sound, {100, 400, 100}, "Part", "song.wav", region));
  EXPECT_EQ(region.sound.totalFrames(), 300);
  EXPECT_EQ(region.sound.channels(), 2);
  EXPECT_EQ(region.sound.sampleRate(), 22050);
  EXPECT_EQ(region.start, 100);
  EXPECT_EQ(region.end, 400);
  EXPECT_EQ(region.sourceName, "song.wav");
  Region none;
  EXPECT_FALSE(makeRegion(sound, {300, 300, 300}, "Empty", "song.wav", none));
  EXPECT_FALSE(makeRegion(sound, {2000, 3000, 0}, "Past", "song.wav", none));
  ASSERT_TRUE(makeRegion(sound, {900, 5000, 0}, "Tail", "song.wav", region));
  EXPECT_EQ(region.sound.totalFrames(), 100) << "a selection past the end stops at it";
}

TEST(RegionTools, FileNamesRefuseWhatAFolderCannotHold) {
  for (const char* good : {"Take 1", "intro-b", "\xC3\xA9t\xC3\xA9", "a.b"}) EXPECT_TRUE(validFileName(good)) << good;
  for (const char* bad : {"", "a/b", "a\\b", "what?", "c:d", "x*", "\"q\"", "<a>", "a|b", "end.", "end ", "tab\there"})
    EXPECT_FALSE(validFileName(bad)) << bad;
}

TEST(NamedList, NamesAreUniqueIgnoringCase) {
  std::vector<Bookmark> marks;
  putNamed(marks, Bookmark{"Verse", "a.wav", 10, 1, 0});
  putNamed(marks, Bookmark{"Chorus", "a.wav", 20, 1, 0});
  putNamed(marks, Bookmark{"verse", "a.wav", 30, 1, 0});
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].position, 30) << "a used name is replaced where it stands";
  EXPECT_EQ(findNamed(marks, "CHORUS"), 1);
  EXPECT_EQ(findNamed(marks, "Bridge"), -1);

  EXPECT_EQ(checkRename(marks, 0, ""), RenameCheck::Empty);
  EXPECT_EQ(checkRename(marks, 0, "   "), RenameCheck::Empty);
  EXPECT_EQ(checkRename(marks, 0, "chorus"), RenameCheck::Taken);
  EXPECT_EQ(checkRename(marks, 0, "VERSE"), RenameCheck::Ok) << "its own name in other case";
  EXPECT_EQ(checkRename(marks, 0, "Bridge"), RenameCheck::Ok);

  EXPECT_EQ(unusedName(marks, "Bridge"), "Bridge");
  EXPECT_EQ(unusedName(marks, "chorus"), "chorus (2)");
  putNamed(marks, Bookmark{"Chorus (2)", "a.wav", 50, 1, 0});
  EXPECT_EQ(unusedName(marks, "Chorus"), "Chorus (3)");
  marks.pop_back();

  putNamed(marks, Bookmark{"Outro", "a.wav", 40, 1, 0});
  eraseIndices(marks, {2, 0, 2, 9});
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0].name, "Chorus");
}
