#include "ui/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Text, WidenAndNarrowRoundTripTextBeyondAscii) {
  struct Case {
    std::string utf8;
    size_t utf16Units;
  };
  const Case cases[] = {
      {"", 0},
      {"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", 7},   // Grüße €
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 3},  // three CJK characters
      {"\xF0\x9F\x8E\xB5 note", 7},                  // U+1F3B5 takes a surrogate pair
      {std::string("a\0b", 3), 3},                   // an embedded NUL survives
  };
  for (const Case& c : cases) {
    std::wstring wide = ui::widen(c.utf8);
    EXPECT_EQ(wide.size(), c.utf16Units) << c.utf8;
    EXPECT_EQ(ui::narrow(wide), c.utf8);
  }
  EXPECT_EQ(ui::widen("\xF0\x9F\x8E\xB5"), (std::wstring{wchar_t(0xD83C), wchar_t(0xDFB5)}));
}

TEST(Text, MalformedInputBecomesReplacementCharactersNotNothing) {
  EXPECT_EQ(ui::widen("a\xFF" "b"), (std::wstring{L'a', wchar_t(0xFFFD), L'b'}));
  EXPECT_EQ(ui::narrow(std::wstring{L'x', wchar_t(0xD800), L'y'}), "x\xEF\xBF\xBDy");
}

TEST(Text, FormatTextHoldsResultsOfAnyLength) {
  EXPECT_EQ(ui::formatText("%d of %lld", 3, 1LL << 40), "3 of 1099511627776");
  std::string text = ui::formatText("%s-%02d", std::string(5000, 'x').c_str(), 7);
  EXPECT_EQ(text.size(), 5003u);
  EXPECT_EQ(text.substr(4998), "xx-07");
}

}  // namespace
