#include "recorder/model/recording_time.h"

#include <gtest/gtest.h>

namespace {

using namespace recorder;

TEST(RecordingTime, ParsesHoursMinutesSecondsAndFractions) {
  struct Case {
    const char* text;
    long long ms;
  } cases[] = {
      {"1:00:00", 3600000},  {"2:00:00", 7200000}, {"0:00:01", 1000},   {"90", 90000},
      {"1:30", 90000},       {"0:00:01.5", 1500},  {"0:00:00.0456", 45}, {"-0:00:02", -2000},
      {"0:0-0:03", -3000},   {"", 0},              {"::", 0},           {" 1 : 00 : 00 ", 3600000},
  };
  for (const auto& c : cases) EXPECT_EQ(parseRecordingTime(c.text), c.ms) << c.text;
  // Absurd texts stay finite and positive.
  EXPECT_GT(parseRecordingTime(std::string(40, '9') + ":99:99:99:99:99:99"), 0);
}

TEST(RecordingTime, StopsOnlyWhenStrictlyLongerThanTheLimit) {
  long long limit = parseRecordingTime("1:00:00");
  EXPECT_FALSE(maxTimeExceeded(limit - 1, limit));
  EXPECT_FALSE(maxTimeExceeded(limit, limit));
  EXPECT_TRUE(maxTimeExceeded(limit + 1, limit));
}

TEST(RecordingTime, ElapsedTextRoundsToHundredths) {
  struct Case {
    long long ms;
    const char* text;
  } cases[] = {
      {0, "0:00:00.00"},        {4, "0:00:00.00"},          {5, "0:00:00.01"},
      {999, "0:00:01.00"},      {59995, "0:01:00.00"},      {3599994, "0:59:59.99"},
      {3599995, "1:00:00.00"},  {36000000, "10:00:00.00"},  {-1500, "-0:00:01.50"},
  };
  for (const auto& c : cases) EXPECT_EQ(elapsedTimeText(c.ms), c.text) << c.ms;
}

}  // namespace
