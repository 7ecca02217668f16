#include "cd/cddb_entry_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

cd::DiscRecord discWith(int tracks) {
  cd::DiscRecord disc;
  cd::TableOfContents toc;
  for (int i = 0; i <= tracks; ++i) toc.addresses.push_back(i * 7500);
  cd::fillFromTableOfContents(disc, toc);
  return disc;
}

void parse(cd::DiscRecord& disc, const std::vector<std::string>& lines) {
  cd::CddbEntryParser parser(disc);
  for (const std::string& line : lines) parser.addLine(line);
  parser.finish();
}

TEST(CddbEntryParser, ReadsTitlesJoiningContinuedLines) {
  cd::DiscRecord disc = discWith(3);
  parse(disc, {"# xmcd", "DTITLE=Some Artist / A Re", "DTITLE=cord", "TTITLE0=One", "TTITLE1=Two ",
               "TTITLE1=Halves", "EXTT1=note", "EXTD= YEAR: 1987", "PLAYORDER="});
  EXPECT_EQ(disc.artist, "Some Artist");
  EXPECT_EQ(disc.title, "A Record");
  EXPECT_EQ(disc.tracks[0].title, "One");
  EXPECT_EQ(disc.tracks[0].trackNumber, 1);
  EXPECT_EQ(disc.tracks[1].title, "Two Halves");
  EXPECT_EQ(disc.tracks[1].trackNumber, 2);
  EXPECT_EQ(disc.tracks[1].extendedData, "note");
  EXPECT_EQ(disc.tracks[2].title, "Track 03");
  EXPECT_EQ(disc.tracks[2].trackNumber, 0);
  EXPECT_EQ(disc.year, 1987);
}

TEST(CddbEntryParser, TitleWithoutSeparatorIsTheDiscTitle) {
  cd::DiscRecord disc = discWith(1);
  parse(disc, {"DTITLE=Just a title/with slash"});
  EXPECT_EQ(disc.artist, "");
  EXPECT_EQ(disc.title, "Just a title/with slash");
}

TEST(CddbEntryParser, IgnoresTracksThatAreNotOnTheDisc) {
  cd::DiscRecord disc = discWith(2);
  parse(disc, {"TTITLE2=past the last", "TTITLE255=far", "TTITLE256=farther", "TTITLE4294967297=wrapped",
               "TTITLE-1=negative", "TTITLE=none", "TTITLEx=letters", "EXTT2=past", "EXTT999=far"});
  EXPECT_EQ(disc.tracks[0].title, "Track 01");
  EXPECT_EQ(disc.tracks[1].title, "Track 02");
  for (size_t i = 2; i < disc.tracks.size(); ++i) {
    EXPECT_TRUE(disc.tracks[i].title.empty()) << i;
    EXPECT_TRUE(disc.tracks[i].extendedData.empty()) << i;
  }
}

TEST(CddbEntryParser, ContinuedValuesStopAtTheFieldSize) {
  cd::DiscRecord disc = discWith(1);
  std::vector<std::string> lines;
  for (int i = 0; i < 10; ++i) lines.push_back("TTITLE0=" + std::string(100, char('a' + i)));
  for (int i = 0; i < 10; ++i) lines.push_back("DTITLE=" + std::string(200, 'd'));
  for (int i = 0; i < 100; ++i) lines.push_back("EXTD=" + std::string(200, 'e'));
  for (int i = 0; i < 100; ++i) lines.push_back("EXTT0=" + std::string(200, 't'));
  parse(disc, lines);
  ASSERT_EQ(disc.tracks[0].title.size(), cd::kTitleFieldBytes - 1);
  EXPECT_EQ(disc.tracks[0].title, std::string(100, 'a') + std::string(100, 'b') + std::string(55, 'c'));
  EXPECT_EQ(disc.title.size(), cd::kTitleFieldBytes - 1);
  EXPECT_EQ(disc.extendedData.size(), cd::kExtendedFieldBytes - 1);
  EXPECT_EQ(disc.tracks[0].extendedData.size(), cd::kExtendedFieldBytes - 1);
}

TEST(CddbEntryParser, YearOnlyWhereTheEntryHoldsIt) {
  struct Case {
    const char* extended;
    int32_t year;
  };
  const Case cases[] = {{"YEAR: 1999", 1999}, {"ID3G: 17 YEAR: 2004 x", 2004}, {"YEAR", 0},
                        {"YEAR: ", 0},         {"YEAR: 7", 7},                 {"no year here", 0},
                        {"YEAR: 99999999999", INT32_MAX}};
  for (const Case& c : cases) EXPECT_EQ(cd::cddbYearOf(c.extended), c.year) << c.extended;
}

}  // namespace
