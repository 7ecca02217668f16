#include "sys/environment.h"

#include <gtest/gtest.h>

namespace {

TEST(Environment, ValuesAreSetReplacedAndRemoved) {
  const std::string name = "ZED_ENVIRONMENT_TEST";
  ASSERT_TRUE(sys::setEnvironmentValue(name, std::string("1")));
  EXPECT_EQ(sys::environmentValue(name), std::optional<std::string>("1"));
  ASSERT_TRUE(sys::setEnvironmentValue(name, std::string("a longer value with spaces")));
  EXPECT_EQ(sys::environmentValue(name), std::optional<std::string>("a longer value with spaces"));
  ASSERT_TRUE(sys::setEnvironmentValue(name, std::nullopt));
  EXPECT_EQ(sys::environmentValue(name), std::nullopt);
}

}  // namespace
