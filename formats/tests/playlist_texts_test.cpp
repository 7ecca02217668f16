#include "formats/playlist_texts.h"

#include <gtest/gtest.h>

#include "formats/encoder_sinks.h"

namespace {

PlaylistEntry talk(const std::string& root) {
  PlaylistEntry entry;
  entry.title = "talk";
  entry.lengthSeconds = 61;
  entry.rootUrl = root;
  entry.mp3FileName = "talk.mp3";
  entry.mp3Bytes = 12345;
  return entry;
}

TEST(PlaylistTexts, M3uThirdLineIsTheRootAndTheMp3) {
  EXPECT_EQ(playlistText(".m3u", talk("http://example.org/pod")),
            "#EXTM3U\r\n#EXTINF:61,talk\r\nhttp://example.org/pod/talk.mp3\r\n");
  EXPECT_EQ(playlistText(".m3u", talk("http://example.org/pod/")),
            "#EXTM3U\r\n#EXTINF:61,talk\r\nhttp://example.org/pod/talk.mp3\r\n");
  EXPECT_EQ(playlistText(".m3u", talk("")), "#EXTM3U\r\n#EXTINF:61,talk\r\ntalk.mp3\r\n");
  EXPECT_EQ(playlistText(".pls", talk("")),
            "[playlist]\r\nFile1=talk.mp3\r\nTitle1=talk\r\nLength1=61\r\nNumberOfEntries=1\r\nVersion=2\r\n");
  EXPECT_EQ(playlistText(".txt", talk("")), "");
}

TEST(PlaylistTexts, NamesAreEscapedInXmlAndEncodedInUrls) {
  PlaylistEntry entry = talk("http://example.org/a&b");
  entry.title = "Tom & \"Jerry\" <live> 'n'";
  entry.mp3FileName = "Tom & Jerry #1.mp3";
  EXPECT_EQ(playlistUrl(entry), "http://example.org/a&b/Tom%20%26%20Jerry%20%231.mp3");
  const std::string wpl = playlistText(".wpl", entry);
  EXPECT_NE(wpl.find("        <title>Tom &amp; &quot;Jerry&quot; &lt;live&gt; &apos;n&apos;</title>\r\n"),
            std::string::npos) << wpl;
  EXPECT_NE(wpl.find("            <media src=\"http://example.org/a&amp;b/Tom%20%26%20Jerry%20%231.mp3\"/>\r\n"),
            std::string::npos) << wpl;
  EXPECT_EQ(wpl.find("<?wpl version=\"1.0\"?>\r\n<smil>\r\n    <head>\r\n"), 0u);
  const std::string rss = playlistText(".rss", entry);
  EXPECT_EQ(rss.find("<?xml version=\"1.0\"?>\r\n<rss version=\"2.0\">\r\n  <channel>\r\n"), 0u);
  EXPECT_NE(rss.find("    <link>http://example.org/a&amp;b</link>\r\n"), std::string::npos) << rss;
  EXPECT_NE(rss.find("length=\"12345\" type=\"audio/mpeg\"/>"), std::string::npos) << rss;
  EXPECT_EQ(rss.find("Tom & "), std::string::npos) << "no bare ampersand in the feed";
  // Bytes of UTF-8 names are encoded one by one.
  EXPECT_EQ(percentEncoded("Caf\xC3\xA9~_-.mp3"), "Caf%C3%A9~_-.mp3");
}

TEST(PlaylistTexts, TheCompanionMp3ReplacesWhatFollowsTheLastDot) {
  EXPECT_EQ(companionMp3Path("C:\\pod\\talk.m3u"), "C:\\pod\\talk.mp3");
  EXPECT_EQ(companionMp3Path("C:\\pod\\talk.show.rss"), "C:\\pod\\talk.show.mp3");
  EXPECT_EQ(companionMp3Path("C:\\po.d\\talk"), "C:\\po.d\\talk.mp3");
}

}  // namespace
