#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "testkit/file_images.h"
#include "testkit/testkit.h"

namespace {

using testkit::putLe32;
using testkit::putText;
using Bytes = std::vector<uint8_t>;

void putChunk(Bytes& out, const char* id, const Bytes& body) {
  putText(out, id);
  putLe32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
}

Bytes infoList(const std::vector<std::pair<const char*, std::string>>& items) {
  Bytes body;
  putText(body, "INFO");
  for (const auto& [id, text] : items) {
    Bytes item(text.begin(), text.end());
    item.push_back(0);
    putChunk(body, id, item);
  }
  Bytes out;
  putChunk(out, "LIST", body);
  return out;
}

Bytes dispChunk(uint32_t type, const std::string& text) {
  Bytes body;
  putLe32(body, type);
  body.insert(body.end(), text.begin(), text.end());
  body.push_back(0);
  Bytes out;
  putChunk(out, "DISP", body);
  return out;
}

// An 8-bit mono WAVE file of the given samples, then the given chunks. The
// data chunk gets no pad byte when nothing follows it.
Bytes waveImage(const Bytes& samples, std::initializer_list<Bytes> chunks = {}) {
  testkit::WaveImage image;
  image.bits = 8;
  image.samples = samples;
  for (const Bytes& chunk : chunks) image.afterData.insert(image.afterData.end(), chunk.begin(), chunk.end());
  return image.build();
}

TagSet tagsOf(const Bytes& image) {
  MemoryByteSource bytes(image);
  TagSet tags;
  EXPECT_TRUE(readWaveTags(bytes, tags));
  return tags;
}

TagSet tagsOfFile(const std::string& path) {
  TagSet tags;
  EXPECT_TRUE(readWaveTags(path, tags));
  return tags;
}

uint32_t riffSize(const Bytes& file) { return le32(file.data() + 4); }
std::string textAt(const Bytes& file, size_t at, size_t count) {
  return at + count <= file.size() ? std::string(file.begin() + at, file.begin() + at + count) : "";
}

const Bytes kSamples = {0x80, 0x90, 0x70, 0x80};

TEST(WaveTags, ReadsInfoItemsAndTheTextDisp) {
  struct Case {
    const char* what;
    std::initializer_list<Bytes> chunks;
    TagSet expected;
  };
  const Case cases[] = {
      {"product and name items", {infoList({{"IPRD", "x"}, {"ISFT", "skipped"}, {"INAM", "y"}})},
       {{"TITLE", "x"}, {"ALBUM", "y"}}},
      {"every item",
       {infoList({{"ICMT", "c"}, {"IGNR", "g"}, {"ITRK", "7"}, {"ICOP", "1999"}, {"INAM", "al"},
                  {"IART", "ar"}, {"IPRD", "t"}})},
       {{"TITLE", "t"}, {"ARTIST", "ar"}, {"ALBUM", "al"}, {"DATE", "1999"}, {"TRACKNUMBER", "7"},
        {"GENRE", "g"}, {"COMMENT", "c"}}},
      {"a text DISP before the items wins over IPRD",
       {dispChunk(1, "display"), infoList({{"IPRD", "product"}})},
       {{"TITLE", "display"}}},
      {"a picture DISP is no title", {dispChunk(8, "BM\x01\x02")}, {}},
      {"an empty item is no tag", {infoList({{"IART", ""}})}, {}},
      {"texts are trimmed; blanks alone are no tag, and a blank DISP leaves the title to IPRD",
       {dispChunk(1, "   "), infoList({{"IPRD", " p "}, {"IART", "  "}})}, {{"TITLE", "p"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(tagsOf(waveImage(kSamples, c.chunks)), c.expected);
  }

  // From a file, and into a set that already holds values.
  testkit::ScratchFolder folder;
  const std::string file = folder.file("tagged.wav");
  ASSERT_TRUE(testkit::writeAll(file, waveImage(kSamples, {infoList({{"IPRD", "x"}, {"INAM", "y"}})})));
  TagSet tags = {{"ALBUM", "old"}, {"GENRE", "kept"}};
  EXPECT_TRUE(readWaveTags(file, tags));
  EXPECT_EQ(tags, (TagSet{{"ALBUM", "y"}, {"GENRE", "kept"}, {"TITLE", "x"}}));

  TagSet none;
  EXPECT_FALSE(readWaveTags(folder.file("missing.wav"), none));
  MemoryByteSource notWave(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '});
  EXPECT_FALSE(readWaveTags(notWave, none));
  EXPECT_TRUE(none.empty());
}

TEST(WaveTags, WritesTheMissingTagsAsAnInfoListAtTheEnd) {
  testkit::ScratchFolder folder;
  const std::string file = folder.file("plain.wav");
  const Bytes before = waveImage(kSamples);
  ASSERT_TRUE(testkit::writeAll(file, before));
  ASSERT_TRUE(writeWaveTags(file, {{"ALBUM", "y"}, {"UNKNOWN", "ignored"}, {"ARTIST", ""}}));

  Bytes expected = before;
  const Bytes list = {'L', 'I', 'S', 'T', 14, 0, 0, 0, 'I', 'N', 'F', 'O',
                      'I', 'N', 'A', 'M', 2,  0, 0, 0, 'y', 0};
  expected.insert(expected.end(), list.begin(), list.end());
  expected[4] = static_cast<uint8_t>(expected.size() - 8);
  EXPECT_EQ(testkit::readAll(file), expected);

  // Tags the file has with the same values are left alone; the others follow
  // in a second list.
  ASSERT_TRUE(writeWaveTags(file, {{"ALBUM", "y"}, {"ARTIST", "someone"}, {"COMMENT", "odd"}}));
  EXPECT_EQ(tagsOfFile(file), (TagSet{{"ARTIST", "someone"}, {"ALBUM", "y"}, {"COMMENT", "odd"}}));
  const Bytes after = testkit::readAll(file);
  EXPECT_EQ(riffSize(after), after.size() - 8);
  EXPECT_EQ(after.size(), expected.size() + 4 + 8 + 16 + 12);
  ASSERT_TRUE(writeWaveTags(file, {{"ALBUM", "y"}, {"ARTIST", "someone"}}));
  EXPECT_EQ(testkit::readAll(file), after);
}

TEST(WaveTags, AChangedValueReplacesTheListsAndKeepsItemsNoTagStandsFor) {
  testkit::ScratchFolder folder;
  const std::string file = folder.file("changed.wav");
  const Bytes oldList = infoList({{"INAM", "old album"}, {"ISFT", "recorder 1.0"}, {"IART", "artist"}});
  const Bytes before = waveImage(kSamples, {oldList});
  ASSERT_TRUE(testkit::writeAll(file, before));

  // A new album and an emptied artist: the old list is blanked and a new one
  // with every value, and the software item no tag stands for, follows.
  ASSERT_TRUE(writeWaveTags(file, {{"ALBUM", "new album, longer"}, {"ARTIST", ""}, {"GENRE", "Speech"}}));
  Bytes bytes = testkit::readAll(file);
  const size_t oldListAt = before.size() - oldList.size();
  EXPECT_EQ(textAt(bytes, oldListAt, 4), "    ");
  EXPECT_EQ(Bytes(bytes.begin() + oldListAt + 4, bytes.begin() + before.size()),
            Bytes(oldList.begin() + 4, oldList.end()));
  const Bytes newList = infoList({{"INAM", "new album, longer"}, {"IGNR", "Speech"}, {"ISFT", "recorder 1.0"}});
  EXPECT_EQ(Bytes(bytes.begin() + before.size(), bytes.end()), newList);
  EXPECT_EQ(riffSize(bytes), bytes.size() - 8);
  EXPECT_EQ(tagsOfFile(file), (TagSet{{"ALBUM", "new album, longer"}, {"GENRE", "Speech"}}));

  // A change that keeps the list's size rewrites it where it is.
  ASSERT_TRUE(writeWaveTags(file, {{"ALBUM", "NEW ALBUM, LONGER"}, {"GENRE", "Speech"}}));
  const Bytes again = testkit::readAll(file);
  ASSERT_EQ(again.size(), bytes.size());
  EXPECT_EQ(tagsOfFile(file), (TagSet{{"ALBUM", "NEW ALBUM, LONGER"}, {"GENRE", "Speech"}}));

  ZED_REQUIRE_TOOL("ffprobe");
  const std::string shown = testkit::toolOutput("ffprobe -v error -show_entries format_tags -of flat " + file);
  EXPECT_NE(shown.find("NEW ALBUM, LONGER"), std::string::npos) << shown;
  EXPECT_NE(shown.find("recorder 1.0"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("old album"), std::string::npos) << shown;
}

TEST(WaveTags, KeepsOneTitleDispReusingChunksOfTheSameSize) {
  testkit::ScratchFolder folder;
  const std::string file = folder.file("title.wav");
  const Bytes picture = dispChunk(8, "BM..");
  ASSERT_TRUE(testkit::writeAll(file, waveImage(kSamples, {picture})));
  const size_t firstDisp = testkit::readAll(file).size();

  // "abcd": 4 + (4 + 2) bytes of body. The picture is left as it is.
  ASSERT_TRUE(writeWaveTags(file, {{"TITLE", "abcd"}}));
  Bytes bytes = testkit::readAll(file);
  const Bytes abcd = {'D', 'I', 'S', 'P', 10, 0, 0, 0, 1, 0, 0, 0, 'a', 'b', 'c', 'd', 0, 0};
  EXPECT_EQ(Bytes(bytes.begin() + firstDisp, bytes.end()), abcd);

  struct Step {
    std::string title;
    size_t growth;     // bytes appended
    size_t dispAt;     // where the live DISP is
    size_t blankedAt;  // where a blanked chunk is, 0 for none
  };
  const size_t secondDisp = firstDisp + abcd.size();
  const Step steps[] = {
      {"wxyz", 0, firstDisp, 0},                      // same size: in place
      {"vwxyz", 0, firstDisp, 0},                     // 5 + 2 rounds down to the same size
      {"a longer title", 28, secondDisp, firstDisp},  // blanked and appended
      {"efgh", 0, firstDisp, secondDisp},             // the blanked chunk fits again
  };
  size_t expectedBytes = bytes.size();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.title);
    ASSERT_TRUE(writeWaveTags(file, {{"TITLE", step.title}}));
    bytes = testkit::readAll(file);
    expectedBytes += step.growth;
    ASSERT_EQ(bytes.size(), expectedBytes);
    EXPECT_EQ(riffSize(bytes), bytes.size() - 8);
    EXPECT_EQ(textAt(bytes, step.dispAt, 4), "DISP");
    EXPECT_EQ(textAt(bytes, step.dispAt + 12, step.title.size()), step.title);
    if (step.blankedAt) {
      EXPECT_EQ(textAt(bytes, step.blankedAt, 4), "    ");
    }
    EXPECT_EQ(tagsOfFile(file), (TagSet{{"TITLE", step.title}}));
  }
  EXPECT_EQ(Bytes(bytes.begin() + 48, bytes.begin() + 48 + picture.size()), picture);
}

TEST(WaveTags, PadsAnOddFileAndToolsStillReadItTagged) {
  testkit::ScratchFolder folder;
  const std::string file = folder.file("sox.wav");
  // Three 8-bit frames: the data chunk ends on an odd byte without its pad.
  ASSERT_TRUE(testkit::writeAll(file, waveImage({0x80, 0xC0, 0x40})));
  ASSERT_TRUE(writeWaveTags(file, {{"TITLE", "Interview"}, {"ARTIST", "Me"}, {"GENRE", "Speech"}}));

  const Bytes bytes = testkit::readAll(file);
  EXPECT_EQ(riffSize(bytes), bytes.size() - 8);
  EXPECT_EQ(bytes[47], 0);  // the pad byte
  EXPECT_EQ(textAt(bytes, 48, 4), "LIST");
  EXPECT_EQ(tagsOfFile(file), (TagSet{{"TITLE", "Interview"}, {"ARTIST", "Me"}, {"GENRE", "Speech"}}));

  ZED_REQUIRE_TOOL("sox");
  EXPECT_EQ(testkit::toolOutput("soxi -s " + file + " 2>&1"), "3\n");
  const std::string raw = folder.file("decoded.raw");
  ASSERT_EQ(testkit::runTool("sox " + file + " -t raw " + raw + " 2>/dev/null"), 0);
  EXPECT_EQ(testkit::readAll(raw), (Bytes{0x80, 0xC0, 0x40}));
}

TEST(WaveTags, WritesNothingIntoFilesItCannotExtendSafely) {
  testkit::ScratchFolder folder;
  const std::string file = folder.file("damaged.wav");
  struct Case {
    const char* what;
    Bytes image;
  };
  Bytes unfinished = waveImage(kSamples);
  for (int i = 40; i < 44; ++i) unfinished[i] = 0xFF;  // data size never filled in
  Bytes stray = waveImage(kSamples);
  stray.insert(stray.end(), {1, 2, 3, 4, 5});
  Bytes notWave = waveImage(kSamples);
  notWave[8] = 'X';
  for (const Case& c : {Case{"unfinished recording", unfinished}, Case{"stray bytes at the end", stray},
                        Case{"not a WAVE file", notWave}}) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(testkit::writeAll(file, c.image));
    EXPECT_FALSE(writeWaveTags(file, {{"TITLE", "t"}, {"ALBUM", "a"}}));
    EXPECT_EQ(testkit::readAll(file), c.image);
  }
  EXPECT_FALSE(writeWaveTags(folder.file("missing.wav"), {{"ALBUM", "a"}}));

  // A file 16 bytes short of the 4 GiB limit (sparse: no disk is used) has
  // no room for a list.
  const std::string big = folder.file("big.wav");
  Bytes header = waveImage({});
  const uint32_t dataBytes = 0xFFFFFFF0u + 8 - static_cast<uint32_t>(header.size());
  for (int i = 0; i < 4; ++i) header[40 + i] = static_cast<uint8_t>(dataBytes >> (8 * i));
  for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<uint8_t>(0xFFFFFFF0u >> (8 * i));
  ASSERT_TRUE(testkit::writeAll(big, header));
  std::filesystem::resize_file(big, header.size() + uint64_t{dataBytes});
  EXPECT_FALSE(writeWaveTags(big, {{"ALBUM", "a"}}));
  EXPECT_EQ(std::filesystem::file_size(big), header.size() + uint64_t{dataBytes});
  uint8_t riff[8];
  ASSERT_TRUE(openFileBytes(big)->readExact(riff, sizeof riff));
  EXPECT_EQ(le32(riff + 4), 0xFFFFFFF0u);
}

}  // namespace
