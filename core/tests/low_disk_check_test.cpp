#include "core/low_disk_check.h"

#include <gtest/gtest.h>

#include "sys/folders.h"

namespace {

TEST(LowDiskCheck, WarnsBelowThreeMegabytesAndNotWhenTheSpaceIsUnknown) {
  struct Case {
    int64_t freeBytes;
    bool warn;
  } cases[] = {{-1, false}, {0, true}, {3 * 1024 * 1024 - 1, true}, {3 * 1024 * 1024, false}};
  for (const auto& c : cases) EXPECT_EQ(isLowDiskSpace(c.freeBytes), c.warn) << c.freeBytes;
  EXPECT_FALSE(shouldWarnLowDiskSpace(sys::joinPath(sys::tempFolder(), "no-such-folder/deeper")));
  EXPECT_FALSE(shouldWarnLowDiskSpace(""));
}

}  // namespace
