#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/id3_genres.h"
#include "formats/tag_text.h"
#include "testkit/testkit.h"

namespace {

TEST(TagText, SettingTrimsAndFillOnlyKeepsWhatIsThere) {
  TagSet tags;
  setTagValue(tags, "TITLE", "  Song \t");
  setTagValue(tags, "ARTIST", "");
  setTagValue(tags, "TITLE", "Other", true);
  setTagValue(tags, "ARTIST", "Band", true);
  setTagValue(tags, "TITLE", "Last");
  EXPECT_EQ(tags, (TagSet{{"TITLE", "Last"}, {"ARTIST", "Band"}}));
  EXPECT_TRUE(hasTag(tags, "ARTIST"));
  EXPECT_FALSE(hasTag(tags, "ALBUM"));
  EXPECT_EQ(tagValueOf(tags, "ALBUM"), "");
}

TEST(TagText, ValuesAreReadBackWithAtMost259Characters) {
  EXPECT_EQ(readBackValue(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(readBackValue(std::string(300, 'x')), std::string(259, 'x'));
  // 259 two-byte characters: cut between characters, never inside one.
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(readBackValue(accents), accents.substr(0, 518));
}

TEST(TagText, ConvertsBetweenTheCharacterSetsOfTags) {
  EXPECT_EQ(latin1ToUtf8("Caf\xE9"), "Caf\xC3\xA9");
  EXPECT_EQ(utf8ToLatin1("Caf\xC3\xA9"), std::optional<std::string>("Caf\xE9"));
  EXPECT_EQ(utf8ToLatin1("\xE2\x9C\x93"), std::nullopt);
  EXPECT_EQ(utf8ToLatin1("\xC3"), std::nullopt) << "cut in the middle of a character";
  EXPECT_EQ(utf8ToLatin1Lossy("\xC3\xA9 \xE2\x9C\x93"), "\xE9 ?");
  for (const char* notUtf8 : {"\xE9t\xE9", "\xF6\x8B\x8B\x8C", "\xC0\xAF", "\xED\xA0\x80"})
    EXPECT_FALSE(isUtf8(notUtf8)) << notUtf8;  // Latin-1, beyond Unicode, overlong, a surrogate

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool bigEndian;
    std::string expected;
  };
  const Case cases[] = {
      {"little-endian mark", {0xFF, 0xFE, 'A', 0, 0xE9, 0}, true, "A\xC3\xA9"},
      {"big-endian mark", {0xFE, 0xFF, 0, 'A', 0x27, 0x13}, false, "A\xE2\x9C\x93"},
      {"no mark, big-endian", {0, 'B'}, true, "B"},
      {"a surrogate pair", {0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}, false, "\xF0\x9F\x98\x80"},
      {"a lone surrogate", {0xFF, 0xFE, 0x3D, 0xD8, 'x', 0}, false, "\xEF\xBF\xBDx"},
      {"an odd byte at the end", {0xFF, 0xFE, 'C', 0, 'D'}, false, "C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(utf16ToUtf8(c.bytes.data(), c.bytes.size(), c.bigEndian), c.expected);
  }
  const std::string utf16 = utf8ToUtf16WithBom("A\xF0\x9F\x98\x80");
  EXPECT_EQ(utf16, std::string("\xFF\xFE" "A\0\x3D\xD8\x00\xDE", 8));
  EXPECT_EQ(utf16ToUtf8(reinterpret_cast<const uint8_t*>(utf16.data()), utf16.size(), false), "A\xF0\x9F\x98\x80");
}

TEST(TagText, TheGenreListIsTheOneOtherToolsUse) {
  EXPECT_EQ(genreIndex("jpop"), 146);
  EXPECT_EQ(genreIndex("Blues"), 0);
  EXPECT_EQ(genreIndex("Sea Shanty"), -1);
  EXPECT_EQ(genreName(147), nullptr);
  ZED_REQUIRE_TOOL("id3v2");
  // id3lib lists "  N: Name" lines, with more genres after ours. Its name of
  // 133 is one we do not show.
  const std::string listed = testkit::toolOutput("id3v2 -L");
  int matched = 0;
  for (size_t start = 0; start < listed.size();) {
    size_t end = listed.find('\n', start);
    if (end == std::string::npos) end = listed.size();
    const std::string line = listed.substr(start, end - start);
    start = end + 1;
    const size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    const int index = std::atoi(line.c_str());
    if (index >= kGenreCount) continue;
    ++matched;
    if (index == 133) continue;
    std::string name = line.substr(colon + 2);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    EXPECT_EQ(genreIndex(name), index) << line;
  }
  EXPECT_EQ(matched, kGenreCount);
}

}  // namespace
