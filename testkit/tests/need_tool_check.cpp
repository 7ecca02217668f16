// Run by CTest with ZED_REQUIRE_TOOLS set one way or the other (see
// testkit/CMakeLists.txt): a test needing a tool that is nowhere must end,
// as a skip on a developer machine and as a failure where tools are required.

#include <gtest/gtest.h>

#include "testkit/testkit.h"

TEST(NeedTool, AMissingToolEndsTheTest) {
  ZED_REQUIRE_TOOL("zed-tool-that-is-nowhere");
  ADD_FAILURE() << "the test went on without its tool";
}

TEST(NeedTool, APresentToolLetsTheTestRun) {
  if (!testkit::hostToolsRunHere()) GTEST_SKIP() << "no host tools in this build";
  EXPECT_TRUE(testkit::needTool("sh"));
}
