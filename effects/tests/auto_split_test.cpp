#include "effects/auto_split.h"

#include <gtest/gtest.h>

#include "effects/tests/edit_test_support.h"

namespace {

using edittest::soundFrom;

constexpr int32_t kRate = 1000;  // one frame per millisecond

// Loud audio of n frames: +-8000 with a zero crossing every tenth frame, so
// single quiet frames appear inside the sound as they do in real audio.
void addLoud(std::vector<Sample>& out, int n) {
  for (int i = 0; i < n; ++i) out.push_back(i % 10 == 5 ? 0 : (i % 2 ? -8000 : 8000));
}
void addQuiet(std::vector<Sample>& out, int n, Sample hiss = 0) {
  for (int i = 0; i < n; ++i) out.push_back(i % 2 ? -hiss : hiss);
}

// 0-99 quiet, 100-649 a part with a 50 ms pause inside, 650-1149 quiet,
// a 30 ms click, 1180-1579 quiet, 1580-1879 a part, 1880-1979 quiet.
SoundBuffer talk() {
  std::vector<Sample> s;
  addQuiet(s, 100, 300);
  addLoud(s, 300);
  addQuiet(s, 50);
  addLoud(s, 200);
  addQuiet(s, 500, 300);
  addLoud(s, 30);
  addQuiet(s, 400);
  addLoud(s, 300);
  addQuiet(s, 100);
  return soundFrom(s, 1, kRate);
}

AutoSplitSettings settings(int32_t keptMs) {
  AutoSplitSettings s;
  s.silenceLevelDb = -40;
  s.minSilenceMs = 200;
  s.minPartMs = 100;
  s.keptSilenceMs = keptMs;
  return s;
}

TEST(AutoSplit, PartsLieBetweenLongSilencesWithShortOnesDroppedAndEdgesKept) {
  struct Case {
    int32_t keptMs;
    std::vector<FrameRange> expected;
  } cases[] = {
      {0, {{100, 650}, {1580, 1880}}},
      {60, {{40, 710}, {1520, 1940}}},
      // Generous edges share each pause: the parts meet without overlapping.
      {5000, {{0, 1115}, {1115, 1980}}},
  };
  SoundBuffer sound = talk();
  for (const auto& c : cases) {
    AutoSplitResult result = findAutoSplitParts(sound, settings(c.keptMs));
    EXPECT_EQ(result.result, JobResult::Done);
    EXPECT_EQ(result.parts, c.expected) << c.keptMs;
  }
  // A shorter minimum pause splits at the 50 ms one too; a shorter minimum
  // part keeps the click.
  AutoSplitSettings fine = settings(0);
  fine.minSilenceMs = 50;
  fine.minPartMs = 10;
  EXPECT_EQ(findAutoSplitParts(sound, fine).parts,
            (std::vector<FrameRange>{{100, 400}, {450, 650}, {1150, 1180}, {1580, 1880}}));
}

TEST(AutoSplit, TheLevelDecidesWhatIsSilent) {
  EXPECT_EQ(silenceThreshold(0), kSampleFullScale);
  EXPECT_EQ(silenceThreshold(-20), 52429);  // 524,288 / 10, rounded
  EXPECT_EQ(silenceThreshold(-120), 1);
  EXPECT_EQ(silenceThreshold(-500), 1);

  SoundBuffer sound = talk();
  AutoSplitSettings loud = settings(0);
  loud.silenceLevelDb = -10;  // everything here is quieter than that
  EXPECT_TRUE(findAutoSplitParts(sound, loud).parts.empty());
  AutoSplitSettings strict = settings(0);
  strict.silenceLevelDb = -120;  // the hiss of 300 counts as sound now
  EXPECT_EQ(findAutoSplitParts(sound, strict).parts, (std::vector<FrameRange>{{0, 1180}, {1580, 1880}}));

  // Either channel being loud is enough.
  std::vector<Sample> stereo(2 * 400, 0);
  for (int f = 100; f < 200; ++f) stereo[2 * f + 1] = 9000;
  EXPECT_EQ(findAutoSplitParts(soundFrom(stereo, 2, kRate), settings(0)).parts,
            (std::vector<FrameRange>{{100, 200}}));
}

}  // namespace
