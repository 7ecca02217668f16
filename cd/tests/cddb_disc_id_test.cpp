#include "cd/cddb_disc_id.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Offsets as CDDB entries list them (start + 150) and the disc length in
// seconds as "# Disc length" gives it ((lead-out + 150) / 75).
cd::TableOfContents tocFromEntry(const std::vector<int32_t>& offsets, int32_t discSeconds) {
  cd::TableOfContents toc;
  for (int32_t offset : offsets) toc.addresses.push_back(offset - 150);
  toc.addresses.push_back(discSeconds * 75 - 150);
  return toc;
}

TEST(CddbDiscId, MatchesPublishedEntries) {
  struct Published {
    std::vector<int32_t> offsets;
    int32_t discSeconds;
    const char* id;
  };
  const Published discs[] = {
      {{150, 15095, 28530, 40556, 60479, 81952, 100762, 112675, 128656, 145954}, 2260, "6808d20a"},
      {{150, 20972, 36331, 50117, 69524, 86255, 101371, 112896, 131608, 138844, 157390, 174137, 193697, 208667,
        224774, 238280},
       3342, "f00d0c10"},
      {{150, 8795, 25745, 40138, 55085, 70238, 92398, 109293, 124405, 141120, 158079, 175458, 191905, 208331,
        234618, 270030},
       4440, "dd115610"},
  };
  for (const Published& disc : discs) EXPECT_EQ(cd::cddbDiscIdText(tocFromEntry(disc.offsets, disc.discSeconds)), disc.id);
}

TEST(CddbDiscId, QueryLineOfATenTrackDiscStartingAtZero) {
  cd::TableOfContents toc;
  for (int i = 0; i < 10; ++i) toc.addresses.push_back(i * 15000);
  toc.addresses.push_back(150000 + 37);  // 2,000 s and a part of a second
  // Digit sums of (start + 150) / 75 = 2, 202, 402, ..., 1802.
  int digits = 0;
  for (int i = 0; i < 10; ++i)
    for (int s = (i * 15000 + 150) / 75; s > 0; s /= 10) digits += s % 10;
  char id[16];
  std::snprintf(id, sizeof id, "%02x%04x%02x", digits % 255, 2000, 10);
  EXPECT_EQ(cd::cddbQueryLine(toc), std::string("cddb query ") + id +
                                        " 10 150 15150 30150 45150 60150 75150 90150 105150 120150 135150 2002\n");
}

TEST(CddbDiscId, EmptyTableGivesNoIdentifier) {
  EXPECT_EQ(cd::cddbDiscId(cd::TableOfContents{}), 0u);
  cd::TableOfContents onlyLeadOut;
  onlyLeadOut.addresses = {4500};
  EXPECT_EQ(cd::cddbDiscId(onlyLeadOut), 0u);
}

}  // namespace
