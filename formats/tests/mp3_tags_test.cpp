#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void putSynchsafe(Bytes& out, uint32_t value) {
  for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<uint8_t>(value >> shift & 0x7F));
}

// Frames as each version lays them out.
Bytes frame23(const char* id, const Bytes& payload, uint16_t flags = 0) {
  Bytes out = bytesOf(id);
  testkit::putBe32(out, static_cast<uint32_t>(payload.size()));
  testkit::putBe16(out, flags);
  return out + payload;
}
Bytes frame24(const char* id, const Bytes& payload) {
  Bytes out = bytesOf(id);
  putSynchsafe(out, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), {0, 0});
  return out + payload;
}
Bytes frame22(const char* id, const Bytes& payload) {
  Bytes out = bytesOf(id);
  for (int shift = 16; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(payload.size() >> shift));
  return out + payload;
}
Bytes id3v2(uint8_t major, const Bytes& frames, uint8_t flags = 0, size_t padding = 0) {
  Bytes out = {'I', 'D', '3', major, 0, flags};
  putSynchsafe(out, static_cast<uint32_t>(frames.size() + padding));
  out = out + frames;
  out.resize(out.size() + padding, 0);
  return out;
}

Bytes latin1(const std::string& text) { return Bytes{0} + bytesOf(text); }
Bytes utf16(const std::u16string& text) {
  Bytes out = {1, 0xFF, 0xFE};
  for (char16_t unit : text) out.insert(out.end(), {static_cast<uint8_t>(unit & 0xFF), static_cast<uint8_t>(unit >> 8)});
  return out;
}
Bytes comment(const std::string& description, const std::string& text) {
  return Bytes{0, 'e', 'n', 'g'} + bytesOf(description) + Bytes{0} + bytesOf(text);
}

struct Id3v1Fields {
  std::string title, artist, album, year, comment;
  int commentByte125 = -1;  // -1: leave zero
  uint8_t track = 0, genre = 255;
};
Bytes id3v1(const Id3v1Fields& fields) {
  Bytes block(128, 0);
  auto put = [&](size_t at, const std::string& text) { std::copy(text.begin(), text.end(), block.begin() + at); };
  put(0, "TAG");
  put(3, fields.title);
  put(33, fields.artist);
  put(63, fields.album);
  put(93, fields.year);
  put(97, fields.comment);
  if (fields.commentByte125 >= 0) block[125] = static_cast<uint8_t>(fields.commentByte125);
  block[126] = fields.track;
  block[127] = fields.genre;
  return block;
}

// Stands in for MPEG audio: frame sync words and changing bytes.
Bytes audio(size_t size) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(i % 400 == 0 ? 0xFF : (i * 37) & 0x7F);
  return out;
}

TagSet valuesOf(const Bytes& image) {
  MemoryByteSource bytes(image);
  FileTags tags;
  EXPECT_TRUE(readMp3Tags(bytes, tags));
  return tags.values;
}

FileTags tagsOfFile(const std::string& path) {
  FileTags tags;
  EXPECT_TRUE(readFileTags(path, tags));
  return tags;
}

bool contains(const Bytes& haystack, const Bytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

TEST(Mp3Tags, ReadsEveryTagVersionIntoTheTagNames) {
  const std::string longTitle(200, 'x');  // a synchsafe size above 127
  // Sizes count the bytes before the stuffing 0x00 after 0xFF is added.
  Bytes unsynchronised = frame23("TIT2", {0, 0xFF, 'A'});
  unsynchronised.insert(unsynchronised.begin() + 12, 0x00);
  struct Case {
    const char* what;
    Bytes image;
    TagSet expected;
  };
  const Case cases[] = {
      {"version 2.3 texts, comments and links",
       id3v2(3, frame23("TIT2", latin1("Caf\xE9")) + frame23("TPE1", utf16(u"\u00DCber \u2713")) +
                    frame23("COMM", comment("iTunNORM", " 0000")) + frame23("COMM", comment("", "nice")) +
                    frame23("TCON", latin1("(17)")) + frame23("TSSE", latin1("LAME 3.100")) +
                    frame23("TXXX", latin1("mood") + Bytes{0} + bytesOf("calm")) +
                    frame23("WXXX", Bytes{0, 0} + bytesOf("http://a.example/")) +
                    frame23("APIC", Bytes{0} + bytesOf("image/png") + Bytes{0, 3, 0, 0x89, 'P'}),
                0, 1000) +
           audio(500),
       {{"TITLE", "Caf\xC3\xA9"}, {"ARTIST", "\xC3\x9C" "ber \xE2\x9C\x93"}, {"COMMENT", "nice"},
        {"GENRE", "Rock"}, {"TSSE", "LAME 3.100"}, {"WXXX", "http://a.example/"}}},
      {"version 2.4: synchsafe sizes, UTF-8, the date frame",
       id3v2(4, frame24("TIT2", Bytes{3} + bytesOf(longTitle)) + frame24("TDRC", Bytes{3} + bytesOf("2024-05-01")) +
                    frame24("TCON", Bytes{3} + bytesOf("Speech"))) +
           audio(300),
       {{"TITLE", longTitle}, {"DATE", "2024-05-01"}, {"GENRE", "Speech"}}},
      {"version 2.2", id3v2(2, frame22("TT2", latin1("Old")) + frame22("TP1", latin1("Band")) + frame22("TCO", latin1("(8)"))),
       {{"TITLE", "Old"}, {"ARTIST", "Band"}, {"GENRE", "Jazz"}}},
      {"a tag with its bytes unsynchronised", id3v2(3, unsynchronised, 0x80), {{"TITLE", "\xC3\xBF" "A"}}},
      {"ID3v1 read within its fields",
       audio(300) + id3v1({std::string(30, 'T'), "B", "", "1999", "the comment", 0, 7, 146}),
       {{"TITLE", std::string(30, 'T')}, {"ARTIST", "B"}, {"DATE", "1999"}, {"COMMENT", "the comment"},
        {"TRACKNUMBER", "7"}, {"GENRE", "Jpop"}}},
      {"ID3v1.0: a comment of 30 bytes and no track",
       audio(300) + id3v1({"t", "", "", "", std::string(28, 'c') + "d", -1, 'e', 200}),
       {{"TITLE", "t"}, {"COMMENT", std::string(28, 'c') + "de"}}},
      {"ID3v2 values win and ID3v1 fills in",
       id3v2(3, frame23("TIT2", latin1("A much longer title than ID3v1 holds"))) + audio(300) +
           id3v1({"A much longer title than ID3v", "Artist", "", "", "", 0, 0, 255}),
       {{"TITLE", "A much longer title than ID3v1 holds"}, {"ARTIST", "Artist"}}},
      {"a tag pattern inside the audio is audio",
       audio(64) + id3v2(3, frame23("TIT2", latin1("inside"))) + audio(64), {}},
      {"a header that claims more than the file",
       Bytes{'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F} + frame23("TIT2", latin1("cut")), {{"TITLE", "cut"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(valuesOf(c.image), c.expected);
  }
}

class Mp3TagWriting : public ::testing::Test {
 protected:
  std::string write(const Bytes& image) {
    EXPECT_TRUE(testkit::writeAll(m_file, image));
    return m_file;
  }
  Bytes written() { return testkit::readAll(m_file); }
  Bytes lastBlock() {
    Bytes bytes = written();
    return bytes.size() >= 128 ? Bytes(bytes.end() - 128, bytes.end()) : Bytes{};
  }

  testkit::ScratchFolder m_folder;
  std::string m_file = m_folder.file("song.mp3");
};

TEST_F(Mp3TagWriting, WritesOnlyId3v1WhileItHoldsEveryValue) {
  const Bytes sound = audio(1000);
  write(sound);
  ASSERT_TRUE(writeFileTags(m_file, {{{"TITLE", "Song"}, {"ARTIST", "Me"}, {"DATE", "2001"}, {"TRACKNUMBER", "7"},
                                      {"GENRE", "Jpop"}}, {}}));
  Id3v1Fields expected{"Song", "Me", "", "2001", "", 0, 7, 146};
  EXPECT_EQ(written(), sound + id3v1(expected));

  // Again, with a genre number, an emptied track and a comment: still one block.
  ASSERT_TRUE(writeFileTags(m_file, {{{"GENRE", "7"}, {"TRACKNUMBER", ""}, {"COMMENT", std::string(28, 'c')}}, {}}));
  expected.genre = 7;
  expected.track = 0;
  expected.comment = std::string(28, 'c');
  EXPECT_EQ(written(), sound + id3v1(expected));

  // A file without a genre says so with 255, not with 0 ("Blues").
  write(sound);
  ASSERT_TRUE(writeFileTags(m_file, {{{"TITLE", "x"}}, {}}));
  EXPECT_EQ(lastBlock()[127], 255);
}

TEST_F(Mp3TagWriting, WritesId3v2WheneverId3v1AloneWouldLoseAValue) {
  const Bytes sound = audio(2000);
  const std::string title31 = "A title of thirty-one character";
  struct Case {
    const char* what;
    Bytes image;
    TagSet values;
    TagSet readBack;
  };
  const Case cases[] = {
      {"a title too long for ID3v1", sound, {{"TITLE", title31}}, {{"TITLE", title31}}},
      {"a value beyond Latin-1", sound, {{"ARTIST", "\xE5\xA3\xB0"}}, {{"ARTIST", "\xE5\xA3\xB0"}}},
      {"a genre not in the list", sound, {{"GENRE", "Sea Shanty"}}, {{"GENRE", "Sea Shanty"}}},
      {"a track with a count", sound, {{"TRACKNUMBER", "3/12"}}, {{"TRACKNUMBER", "3/12"}}},
      {"a name ID3v1 has no field for", sound, {{"TSSE", "ours"}}, {{"TSSE", "ours"}}},
      {"a file whose ID3v2 would otherwise win with its old title",
       id3v2(3, frame23("TIT2", latin1("Old")) + frame23("TPE1", latin1("Band"))) + sound +
           id3v1({"Old", "Band", "", "", "", 0, 0, 255}),
       {{"TITLE", "New"}, {"ARTIST", "Band"}}, {{"TITLE", "New"}, {"ARTIST", "Band"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write(c.image);
    FileTags tags = tagsOfFile(m_file);
    for (const auto& [name, value] : c.values) {
      bool found = false;
      for (auto& entry : tags.values) found = found || (entry.first == name && (entry.second = value, true));
      if (!found) tags.values.emplace_back(name, value);
    }
    ASSERT_TRUE(writeFileTags(m_file, tags));
    const Bytes bytes = written();
    ASSERT_GE(bytes.size(), sound.size() + 128 + 10);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), std::string("ID3\x03\x00", 5));
    EXPECT_TRUE(std::equal(sound.begin(), sound.end(), bytes.end() - 128 - sound.size())) << "the audio as it was";
    EXPECT_EQ(tagsOfFile(m_file).values, c.readBack);
  }

  // The long title: its first 29 characters and a zero in ID3v1.
  write(sound);
  ASSERT_TRUE(writeFileTags(m_file, {{{"TITLE", title31}}, {}}));
  const Bytes block = lastBlock();
  EXPECT_EQ(std::string(block.begin() + 3, block.begin() + 33), title31.substr(0, 29) + std::string(1, '\0'));
  // A value beyond Latin-1 is UTF-16 with a byte-order mark.
  write(sound);
  ASSERT_TRUE(writeFileTags(m_file, {{{"TITLE", "\xE5\xA3\xB0"}}, {}}));
  EXPECT_TRUE(contains(written(), frame23("TIT2", {1, 0xFF, 0xFE, 0xF0, 0x58, 0, 0})));
  // ID3v1 gets what Latin-1 can hold of it.
  write(sound);
  ASSERT_TRUE(writeFileTags(m_file, {{{"ARTIST", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93"}}, {}}));
  const Bytes latin1Block = lastBlock();
  EXPECT_EQ(std::string(latin1Block.begin() + 33, latin1Block.begin() + 41), std::string("Gr\xFC\xDF" "e ?\0\0", 8));
}

TEST_F(Mp3TagWriting, KeepsEveryFrameItDidNotEditByteForByte) {
  const Bytes kept[] = {
      frame23("APIC", Bytes{0} + bytesOf("image/jpeg") + Bytes{0, 3, 'c', 0, 0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3}),
      frame23("PRIV", bytesOf("owner") + Bytes{0, 9, 8, 7}),
      frame23("UFID", bytesOf("http://id.example") + Bytes{0, '4', '2'}),
      frame23("GEOB", Bytes{0} + bytesOf("a/b") + Bytes{0} + bytesOf("f.bin") + Bytes{0, 0, 5, 6}),
      frame23("TXXX", latin1("mood") + Bytes{0} + bytesOf("calm")),
      frame23("TPE1", utf16(u"Caf\u00E9 Band")),
      frame23("COMM", comment("described", "kept")),
      frame23("TSSE", latin1("encoder"), 0x4000),
  };
  Bytes frames = frame23("TIT2", latin1("Old title")) + frame23("TALB", latin1("Gone"));
  for (const Bytes& frame : kept) frames = frames + frame;
  const Bytes sound = audio(3000);
  write(id3v2(3, frames, 0, 512) + sound);

  FileTags tags = tagsOfFile(m_file);
  EXPECT_EQ(tags.values, (TagSet{{"TITLE", "Old title"}, {"ALBUM", "Gone"}, {"ARTIST", "Caf\xC3\xA9 Band"},
                                 {"TSSE", "encoder"}}));
  tags.values[0].second = "New title";
  tags.values[1].second = "";  // the user emptied the album
  ASSERT_TRUE(writeFileTags(m_file, tags));

  const Bytes bytes = written();
  for (const Bytes& frame : kept) EXPECT_TRUE(contains(bytes, frame)) << std::string(frame.begin(), frame.begin() + 4);
  EXPECT_FALSE(contains(bytes, bytesOf("TALB")));
  EXPECT_TRUE(std::equal(sound.begin(), sound.end(), bytes.end() - 128 - sound.size()));
  const TagSet readBack = tagsOfFile(m_file).values;
  EXPECT_EQ(readBack, (TagSet{{"TITLE", "New title"}, {"ARTIST", "Caf\xC3\xA9 Band"}, {"TSSE", "encoder"}}));

  // Tags that come without frames (a file saved anew) keep those of the file.
  ASSERT_TRUE(writeFileTags(m_file, {{{"TITLE", "Third"}}, {}}));
  for (const Bytes& frame : kept) EXPECT_TRUE(contains(written(), frame));

  // A version 2.4 text in UTF-8, which version 2.3 lacks, is written anew
  // rather than dropped.
  write(id3v2(4, frame24("TSSE", Bytes{3} + bytesOf("enc \xC3\xA9"))) + sound);
  ASSERT_TRUE(writeFileTags(m_file, {{{"TITLE", "x"}}, {}}));
  EXPECT_EQ(tagsOfFile(m_file).values, (TagSet{{"TSSE", "enc \xC3\xA9"}, {"TITLE", "x"}}));
  EXPECT_TRUE(contains(written(), frame23("TSSE", latin1("enc \xE9") + Bytes{0})));
}

TEST_F(Mp3TagWriting, ATagPatternInTheAudioIsNeverTakenForTheTag) {
  // Looks like a tag of 2 MB that would swallow the rest of the audio.
  const Bytes sound = audio(5000) + Bytes{'I', 'D', '3', 3, 0, 0, 0, 0x7F, 0x7F, 0x7F} + audio(5000);
  write(sound);
  ASSERT_TRUE(writeFileTags(m_file, {{{"TSSE", "x"}}, {}}));
  const Bytes bytes = written();
  const Bytes expectedTag = id3v2(3, frame23("TSSE", latin1("x") + Bytes{0}));
  ASSERT_EQ(bytes.size(), expectedTag.size() + sound.size() + 128);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + expectedTag.size()), expectedTag);
  EXPECT_TRUE(std::equal(sound.begin(), sound.end(), bytes.begin() + expectedTag.size()));
}

TEST_F(Mp3TagWriting, AFailedWriteLeavesTheFileAsItWas) {
  EXPECT_FALSE(writeFileTags(m_folder.file("missing.mp3"), {{{"TITLE", "x"}}, {}}));
  EXPECT_FALSE(sys::fileExists(m_folder.file("missing.mp3")));
  // A tag whose header claims more than the file holds: where the audio
  // starts is unknown, so nothing is rewritten.
  const Bytes damaged = Bytes{'I', 'D', '3', 3, 0, 0, 0, 0x7F, 0, 0} + frame23("TIT2", latin1("Old")) + audio(3000);
  write(damaged);
  EXPECT_FALSE(writeFileTags(m_file, {{{"TITLE", "New"}}, {}}));
  EXPECT_EQ(written(), damaged);

  // The disk fills up while the new file is written.
  const Bytes original = id3v2(3, frame23("TIT2", latin1("Old"))) + audio(20000);
  write(original);
  {
    testkit::FileSizeLimit limit(static_cast<int64_t>(original.size()) - 100);
    if (!limit.active()) GTEST_SKIP() << "no file size limit on this platform";
    EXPECT_FALSE(writeFileTags(m_file, {{{"TITLE", "New"}}, {}}));
  }
  EXPECT_EQ(written(), original);
  EXPECT_EQ(sys::listFiles(m_folder.path()).size(), 1u) << "no temporary file left behind";
}

TEST(FileTags, OnlyMp3AndWaveFilesCarryTags) {
  testkit::ScratchFolder folder;
  const std::string aiff = folder.file("a.aif");
  ASSERT_TRUE(testkit::writeAll(aiff, audio(100)));
  FileTags tags{{{"TITLE", "t"}}, {}};
  EXPECT_FALSE(writeFileTags(aiff, tags));
  EXPECT_FALSE(readFileTags(aiff, tags));
  EXPECT_EQ(testkit::readAll(aiff), audio(100));
  EXPECT_TRUE(canCarryTags("C:\\x\\Song.MP3"));
  EXPECT_TRUE(canCarryTags("a.Wav"));
  EXPECT_FALSE(canCarryTags("a.ogg"));
  EXPECT_FALSE(canCarryTags("mp3"));

  // A save's temporary file is tagged as the file it will become.
  const std::string temporary = folder.file(".song.mp3.123.tmp");
  ASSERT_TRUE(testkit::writeAll(temporary, audio(100)));
  EXPECT_FALSE(writeFileTags(temporary, tags));
  ASSERT_TRUE(writeFileTagsAs(temporary, folder.file("song.mp3"), tags));
  FileTags readBack;
  MemoryByteSource bytes(testkit::readAll(temporary));
  ASSERT_TRUE(readMp3Tags(bytes, readBack));
  EXPECT_EQ(readBack.values, tags.values);
}

}  // namespace
