#include "sys/registry.h"

#include <gtest/gtest.h>

namespace {

// The system's registry on Windows (a key of the test's own in the user's
// hive), the memory one elsewhere: both must behave alike.
TEST(Registry, ValuesKeepTheirTypeAndOnlyEmptyKeysAreDeleted) {
  auto memory = sys::makeMemoryRegistry();
  for (sys::Registry* registry : {memory.get(), &sys::systemRegistry()}) {
    const auto hive = sys::RegistryHive::CurrentUser;
    const std::string key = "Software\\ZediradTests\\Registry\\Inner";
    ASSERT_TRUE(registry->writeValue(hive, key, "", {sys::kRegistryExpandText, "%TEMP%\\\u00e9.wav"}));
    ASSERT_TRUE(registry->writeValue(hive, key, "Flags", {4, std::string("\x01\x00\x00\x80", 4)}));
    EXPECT_EQ(registry->readValue(hive, "software\\zediradtests\\registry\\INNER", ""),
              (sys::RegistryValue{sys::kRegistryExpandText, "%TEMP%\\\u00e9.wav"}));
    EXPECT_EQ(registry->readValue(hive, key, "Flags"), (sys::RegistryValue{4, std::string("\x01\x00\x00\x80", 4)}));
    EXPECT_EQ(registry->readText(hive, key, "Flags"), "");
    EXPECT_FALSE(registry->readValue(hive, key, "Missing"));
    EXPECT_TRUE(registry->keyExists(hive, "Software\\ZediradTests\\Registry"));

    EXPECT_FALSE(registry->deleteEmptyKey(hive, "Software\\ZediradTests\\Registry"));  // has a subkey
    EXPECT_FALSE(registry->deleteEmptyKey(hive, key));                                 // has values
    EXPECT_TRUE(registry->deleteValue(hive, key, ""));
    EXPECT_TRUE(registry->deleteValue(hive, key, "Flags"));
    EXPECT_TRUE(registry->deleteValue(hive, key, "Flags"));  // already gone
    EXPECT_TRUE(registry->deleteEmptyKey(hive, key));
    EXPECT_TRUE(registry->deleteEmptyKey(hive, "Software\\ZediradTests\\Registry"));
    EXPECT_TRUE(registry->deleteEmptyKey(hive, "Software\\ZediradTests"));
    EXPECT_FALSE(registry->keyExists(hive, "Software\\ZediradTests"));
    EXPECT_TRUE(registry->deleteValue(hive, "Software\\ZediradTests\\Nowhere", "x"));
  }
}

}  // namespace
