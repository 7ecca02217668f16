#include "recorder/model/name_pattern.h"

#include <gtest/gtest.h>

#include "recorder/model/recorder_settings.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

using namespace recorder;

const LocalTime kNoon{2026, 3, 7, 12, 5, 9};

struct PatternFixture : ::testing::Test {
  std::unique_ptr<sys::SettingsStore> store = sys::makeMemorySettingsStore();
  testkit::ScratchFolder folder;
  RecorderSettings settings{*store, folder.path()};

  std::string next(const std::string& pattern, const char* extension = ".wav") {
    return nameFromPattern(pattern, kNoon, settings, [&](const std::string& name) {
      return sys::fileExists(sys::joinPath(folder.path(), name + extension));
    });
  }
};

TEST_F(PatternFixture, AutomaticNumberSkipsRecordingsThatExist) {
  ASSERT_TRUE(testkit::writeAll(folder.file("Rec 1.wav"), {1}));
  ASSERT_TRUE(testkit::writeAll(folder.file("Rec 2.wav"), {1}));
  ASSERT_TRUE(testkit::writeAll(folder.file("Rec 3.mp3"), {1}));  // another format does not count
  EXPECT_EQ(next("Rec %autonumber%"), "Rec 3");
  EXPECT_EQ(settings.autoNumber(), 4);
  // The taken number is not offered again, even without a file of it.
  EXPECT_EQ(next("Rec %autonumber%"), "Rec 4");
  EXPECT_EQ(settings.autoNumber(), 5);
  // The token is found in any case.
  EXPECT_EQ(next("Rec %AutoNumber%", ".mp3"), "Rec 5");
}

TEST_F(PatternFixture, DateAndTimeTokensAndTheCleanUp) {
  struct Case {
    const char* pattern;
    const char* name;
  } cases[] = {
      {"%YYYY%-%MM%-%DD% %HH%.%MIN%.%SS%", "2026-03-07 120509"},  // dots removed
      {"%yyyy%%mm%%dd%_%hh%%min%%ss%", "20260307_120509"},
      {"Talk %SS% %unknown%end", "Talk 09 end"},
      {"a:b/c\\d*e?f\"g<h>i|j %SS%", "abcdefghij 09"},
      {"x\t\x01y %SS% %", "xy 09 "},  // control characters go; a lone "%" copies nothing
      {"open %SS%%HH", "open 09"},    // an unclosed token copies nothing
      {"%%%SS%", "09"},
  };
  for (const auto& c : cases) EXPECT_EQ(next(c.pattern), c.name) << c.pattern;
  EXPECT_EQ(settings.autoNumber(), 1);  // no pattern numbered its name

  // Without a number an existing file is not avoided: the session asks.
  ASSERT_TRUE(testkit::writeAll(folder.file("Talk 09.wav"), {1}));
  EXPECT_EQ(next("Talk %SS%"), "Talk 09");
}

TEST_F(PatternFixture, NamesAreCutTo259CharactersWithoutEndlessSearch) {
  std::string longText(300, 'n');
  EXPECT_EQ(next(longText + "%SS%"), std::string(259, 'n'));
  // The number lies beyond the limit, so every number names the same file:
  // the search must end and hand the name to the replace question.
  std::string pattern = std::string(259, 'n') + "%autonumber%";
  settings.setAutoNumber(7);
  auto exists = [](const std::string&) { return true; };
  EXPECT_EQ(nameFromPattern(pattern, kNoon, settings, exists), std::string(259, 'n'));
  EXPECT_LE(settings.autoNumber(), 9);
}

}  // namespace
