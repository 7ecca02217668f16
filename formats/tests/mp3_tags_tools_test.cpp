// MP3 tags against what Debian's tag tools write and read: mutagen's mid3v2
// (ID3v2.4) and id3lib's id3v2 (ID3v2.3 and ID3v1).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "formats/formats.h"
#include "testkit/testkit.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Mp3TagsWithTools : public ::testing::Test {
 protected:
  // A second of tone encoded by lame, without tags.
  bool makeMp3(const std::string& path) {
    const std::string wave = m_folder.file("tone.wav");
    return testkit::runTool("sox -n -r 44100 -c 2 -b 16 " + wave + " synth 1 sine 440 2>/dev/null") == 0 &&
           testkit::runTool("lame --quiet " + wave + " " + path) == 0;
  }
  Bytes decoded(const std::string& path) {
    const std::string raw = m_folder.file("decoded.raw");
    EXPECT_EQ(testkit::runTool("mpg123 -q -s " + path + " > " + raw + " 2>/dev/null"), 0);
    return testkit::readAll(raw);
  }
  static std::string listed(const std::string& tool, const std::string& path) {
    return testkit::toolOutput(tool + " -l " + path + " 2>&1");
  }
  static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  testkit::ScratchFolder m_folder;
};

TEST_F(Mp3TagsWithTools, EditsATagMutagenWroteKeepingTheCoverAndTheAudio) {
  ZED_REQUIRE_TOOL("mid3v2");
  ZED_REQUIRE_TOOL("lame");
  ZED_REQUIRE_TOOL("mpg123");
  const std::string song = m_folder.file("song.mp3");
  ASSERT_TRUE(makeMp3(song));
  Bytes cover(300);
  std::mt19937 random(7);
  for (uint8_t& byte : cover) byte = static_cast<uint8_t>(random());
  ASSERT_TRUE(testkit::writeAll(m_folder.file("cover.jpg"), cover));
  ASSERT_EQ(testkit::runTool("cd " + m_folder.path() +
                             " && mid3v2 -t Title -a Artist -A Album -y 2020 -T 3/12 -g Rock -c 'a comment'"
                             " --TXXX mood:calm -p cover.jpg:Front:3:image/jpeg song.mp3"),
            0);
  const Bytes audioBefore = decoded(song);

  FileTags tags;
  ASSERT_TRUE(readFileTags(song, tags));
  EXPECT_EQ(tags.values, (TagSet{{"TITLE", "Title"}, {"ARTIST", "Artist"}, {"TRACKNUMBER", "3/12"}, {"ALBUM", "Album"},
                                 {"DATE", "2020"}, {"GENRE", "Rock"}, {"COMMENT", "a comment"}}));

  for (auto& [name, value] : tags.values)
    if (name == "TITLE") value = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93";
  ASSERT_TRUE(writeFileTags(song, tags));

  const std::string shown = listed("mid3v2", song);
  EXPECT_TRUE(has(shown, "TIT2=Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93")) << shown;
  EXPECT_TRUE(has(shown, "APIC=cover front, Front (image/jpeg, 300 bytes)")) << shown;
  EXPECT_TRUE(has(shown, "TXXX=mood=calm")) << shown;
  EXPECT_TRUE(has(shown, "TPE1=Artist")) << shown;
  EXPECT_TRUE(has(shown, "TRCK=3/12")) << shown;
  const Bytes file = testkit::readAll(song);
  EXPECT_NE(std::search(file.begin(), file.end(), cover.begin(), cover.end()), file.end()) << "the picture's bytes";
  EXPECT_EQ(decoded(song), audioBefore);

  // id3lib reads the version 2.3 tag and the ID3v1 block beside it.
  if (!testkit::needTool("id3v2")) return;
  const std::string old = listed("id3v2", song);
  EXPECT_TRUE(has(old, "id3v2 tag info")) << old;
  EXPECT_TRUE(has(old, "TPE1 (Lead performer(s)/Soloist(s)): Artist")) << old;
  EXPECT_TRUE(has(old, "Genre: Rock (17)")) << old;
  EXPECT_TRUE(has(old, "Track: 3")) << old;
}

TEST_F(Mp3TagsWithTools, ReadsId3libTagsAndWritesId3v1ThatItReads) {
  ZED_REQUIRE_TOOL("id3v2");
  ZED_REQUIRE_TOOL("lame");
  const std::string song = m_folder.file("song.mp3");
  ASSERT_TRUE(makeMp3(song));
  ASSERT_EQ(testkit::runTool("id3v2 -t 'Old Title' -a Band -g 17 -T 4 -y 1999 " + song), 0);
  FileTags tags;
  ASSERT_TRUE(readFileTags(song, tags));
  EXPECT_EQ(tags.values, (TagSet{{"TITLE", "Old Title"}, {"ARTIST", "Band"}, {"GENRE", "Rock"}, {"TRACKNUMBER", "4"},
                                 {"DATE", "1999"}}));

  // Standard values that fit ID3v1, into a file without tags: only the block.
  const std::string plain = m_folder.file("plain.mp3");
  ASSERT_TRUE(makeMp3(plain));
  ASSERT_TRUE(writeFileTags(plain, {{{"TITLE", "Short"}, {"ARTIST", "Me"}, {"GENRE", "Jpop"}, {"TRACKNUMBER", "9"},
                                     {"DATE", "2024"}},
                                    {}}));
  const std::string shown = listed("id3v2", plain);
  EXPECT_TRUE(has(shown, "Title  : Short")) << shown;
  EXPECT_TRUE(has(shown, "Artist: Me")) << shown;
  EXPECT_TRUE(has(shown, "Year: 2024, Genre: JPop (146)")) << shown;
  EXPECT_TRUE(has(shown, "Track: 9")) << shown;
  EXPECT_TRUE(has(shown, "No ID3v2 tag") || !has(shown, "id3v2 tag info")) << shown;
}

}  // namespace
