#include "recorder/session/free_space.h"

#include <gtest/gtest.h>

namespace recorder {
namespace {

TEST(FreeSpace, ShowsMegabytesAndWarnsBelowTheThreshold) {
  FreeSpace space = describeFreeSpace(int64_t{150} * 1024 * 1024 + 512 * 1024, 200);
  EXPECT_EQ(space.text, "150.50 MB");
  EXPECT_TRUE(space.low);
  EXPECT_FALSE(describeFreeSpace(int64_t{200} * 1024 * 1024, 200).low);  // at the threshold: no warning
  EXPECT_TRUE(describeFreeSpace(int64_t{200} * 1024 * 1024 - 1, 200).low);
  EXPECT_EQ(describeFreeSpace(0, 200).text, " 0.00 MB");
}

TEST(FreeSpace, AnUnknownAmountCountsAsSixteenGigabytesAndHugeDisksAreCapped) {
  FreeSpace unknown = describeFreeSpace(-1, 200);
  EXPECT_EQ(unknown.kilobytes, 16777216);
  EXPECT_FALSE(unknown.low);
  FreeSpace huge = describeFreeSpace(int64_t{1} << 50, 200);  // 1 PB
  EXPECT_EQ(huge.kilobytes, 1023 * int64_t{4194304} + 4194303);
}

}  // namespace
}  // namespace recorder
