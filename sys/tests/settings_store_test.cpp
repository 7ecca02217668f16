#include "sys/settings_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "sys/tests/platform.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The registry key the tests may fill; it is removed before and after each test.
constexpr const char* kTestRoot = "Software\\Zedirad\\Tests";

void removeTestKeys() {
#ifdef _WIN32
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Zedirad\\Tests");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Zedirad\\Tests");
#endif
}

struct StoreKind {
  const char* name;
  std::function<std::unique_ptr<sys::SettingsStore>()> open;
};

void PrintTo(const StoreKind& kind, std::ostream* out) { *out << kind.name; }

class SettingsStoreTest : public ::testing::TestWithParam<StoreKind> {
 protected:
  void SetUp() override { removeTestKeys(); }
  void TearDown() override { removeTestKeys(); }
};

TEST_P(SettingsStoreTest, KeepsTextPerSectionAndFallsBackWhenMissingOrEmpty) {
  auto store = GetParam().open();
  ASSERT_TRUE(store);
  EXPECT_EQ(store->read("Settings", "Name", "default"), "default");
  ASSERT_TRUE(store->write("Settings", "Name", "Grüße ♪ \"quoted\" C:\\path"));
  ASSERT_TRUE(store->write("Recent", "Name", "other section"));
  EXPECT_EQ(store->read("Settings", "Name", "default"), "Grüße ♪ \"quoted\" C:\\path");
  EXPECT_EQ(store->read("Recent", "Name", "default"), "other section");
  EXPECT_EQ(store->read("Settings", "name2", "default"), "default");

  ASSERT_TRUE(store->write("Settings", "Name", ""));
  EXPECT_EQ(store->read("Settings", "Name", "default"), "default") << "empty counts as missing";

  EXPECT_TRUE(store->remove("Recent", "Name"));
  EXPECT_EQ(store->read("Recent", "Name", "gone"), "gone");
  EXPECT_FALSE(store->remove("Recent", "Name"));
}

TEST_P(SettingsStoreTest, KeepsNumbersAsDecimalText) {
  auto store = GetParam().open();
  const struct {
    const char* stored;
    long long expected;
  } cases[] = {
      {"42", 42}, {"-17", -17}, {"0", 0}, {"9223372036854775807", 9223372036854775807LL},
      {"abc", 5}, {"", 5},      {"99999999999999999999", 5},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(store->write("Numbers", "Value", c.stored));
    EXPECT_EQ(store->readNumber("Numbers", "Value", 5), c.expected) << '"' << c.stored << '"';
  }
  ASSERT_TRUE(store->writeNumber("Numbers", "Value", -1234567890123LL));
  EXPECT_EQ(store->read("Numbers", "Value", ""), "-1234567890123");
  EXPECT_EQ(store->readNumber("Numbers", "Missing", 7), 7);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, SettingsStoreTest,
    ::testing::Values(StoreKind{"Memory", [] { return sys::makeMemorySettingsStore(); }},
                      StoreKind{"Program", [] { return sys::openProgramSettings(kTestRoot); }}));

#ifdef _WIN32
class RegistrySettings : public ::testing::Test {
 protected:
  void SetUp() override { removeTestKeys(); }
  void TearDown() override { removeTestKeys(); }
};

TEST_F(RegistrySettings, ValuesAreRegistryStringsThatOutliveTheStore) {
  sys::openProgramSettings(kTestRoot)->write("Settings", "Folder", "D:\\Klänge");
  wchar_t text[64] = {};
  DWORD bytes = sizeof text;
  DWORD type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Zedirad\\Tests\\Settings", L"Folder", RRF_RT_ANY,
                         &type, text, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD{REG_SZ});
  EXPECT_EQ(std::wstring(text), L"D:\\Klänge");
  EXPECT_EQ(sys::openProgramSettings(kTestRoot)->read("Settings", "Folder", ""), "D:\\Klänge");
}

TEST_F(RegistrySettings, TheMachineHiveComesBeforeTheUsers) {
  const char* key = "Software\\Zedirad\\Tests\\Components\\mp3el";
  EXPECT_EQ(sys::readMachineThenUser(key, "Path"), "");
  sys::openProgramSettings("Software\\Zedirad\\Tests\\Components")->write("mp3el", "Path", "C:\\user.exe");
  EXPECT_EQ(sys::readMachineThenUser(key, "Path"), "C:\\user.exe");
  const wchar_t machine[] = L"C:\\machine.exe";
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Zedirad\\Tests\\Components\\mp3el", L"Path", REG_SZ,
                            machine, sizeof machine),
            ERROR_SUCCESS);
  EXPECT_EQ(sys::readMachineThenUser(key, "Path"), "C:\\machine.exe");
}
#endif

}  // namespace
