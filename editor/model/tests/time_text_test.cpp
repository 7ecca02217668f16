#include "editor/model/time_text.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeText, FormatsRoundOrCutAndSignNegativeTimes) {
  struct Case {
    int64_t ms;
    const char *hundredths, *millis, *hms, *minutes;
  } cases[] = {
      {4, "0:00:00.00", "0:00:00.004", "0:00:00", "0:00"},
      {995, "0:00:01.00", "0:00:00.995", "0:00:00", "0:00"},
      {3599995, "1:00:00.00", "0:59:59.995", "0:59:59", "59:59"},
      {3723456, "1:02:03.46", "1:02:03.456", "1:02:03", "62:03"},
      {-1234, "-0:00:01.23", "-0:00:01.234", "-0:00:01", "-0:01"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(formatTimeHundredths(c.ms), c.hundredths) << c.ms;
    EXPECT_EQ(formatTimeMillis(c.ms), c.millis) << c.ms;
    EXPECT_EQ(formatLengthHms(c.ms), c.hms) << c.ms;
    EXPECT_EQ(formatLengthMs(c.ms), c.minutes) << c.ms;
  }
  EXPECT_EQ(formatTimeMillis(INT64_MIN).substr(0, 2), "-2");  // no overflow at the extreme
}

TEST(TimeText, ParsesTheAcceptedShapesAndRejectsTheRest) {
  struct Case {
    const char* text;
    int64_t ms;
  } good[] = {{"12", 12000},      {".5", 500},           {"12.3456", 12345},        {"1:05.250", 65250},
              {"  7.1 ", 7100},   {"125:00", 7500000},   {"1:02:03.45", 3723450}};
  for (const auto& c : good) {
    int64_t ms = -1;
    EXPECT_TRUE(parseTimeText(c.text, ms) && ms == c.ms) << c.text << " " << ms;
  }
  for (const char* bad : {"", ".", "1:", ":30", "1:60", "1:2:3:4", "-5", "1.2.3", "5s", "1 2", "99999999999999999999"}) {
    int64_t ms = 42;
    EXPECT_FALSE(parseTimeText(bad, ms)) << bad;
    EXPECT_EQ(ms, 42) << bad;
  }
  for (int64_t ms : {0LL, 61001LL, 86399999LL}) {
    int64_t back = -1;
    EXPECT_TRUE(parseTimeText(formatTimeMillis(ms), back) && back == ms) << ms;
  }
}

}  // namespace
