#include "editor/model/keys_file.h"

#include <gtest/gtest.h>

#include "testkit/testkit.h"

namespace {

using testkit::putLe32;

TEST(KeysFile, ReadsWholeEntriesOfCutFilesAndRefusesOtherVersions) {
  std::vector<uint8_t> whole{0};
  putLe32(whole, kKeyCtrl | 'Q');
  whole.push_back(3);
  for (uint32_t command : {10, 20, 30}) putLe32(whole, command);
  putLe32(whole, 0x7B);  // byte 18
  whole.push_back(1);    // byte 22
  putLe32(whole, 40);
  std::vector<UserKey> keys;
  ASSERT_EQ(parseKeysFile(whole, keys), KeysFileResult::Ok);
  EXPECT_EQ(keys, (std::vector<UserKey>{{0x20051, {10, 20, 30}}, {0x7B, {40}}}));
  EXPECT_EQ(serializeKeysFile(keys), whole);
  ASSERT_NE(findUserKey(keys, 0x7B), nullptr);
  EXPECT_EQ(findUserKey(keys, 0x7B)->commands, std::vector<uint32_t>{40});
  EXPECT_EQ(findUserKey(keys, 0x7C), nullptr);

  // Cut at every length: entries keep the commands that are whole.
  for (size_t size = 1; size < whole.size(); ++size) {
    ASSERT_EQ(parseKeysFile({whole.begin(), whole.begin() + size}, keys), KeysFileResult::Ok);
    ASSERT_EQ(keys.size(), size < 5 ? 0u : size < 22 ? 1u : 2u) << size;
    size_t firstCommands = keys.empty() ? 0 : keys[0].commands.size();
    EXPECT_EQ(firstCommands, size < 6 ? 0 : std::min<size_t>((size - 6) / 4, 3)) << size;
    EXPECT_TRUE(keys.size() < 2 || keys[1].commands.empty()) << size;
  }
  EXPECT_EQ(parseKeysFile({}, keys), KeysFileResult::Missing);
  keys = {{1, {2}}};
  EXPECT_EQ(parseKeysFile({1, 0x41, 0, 0, 0, 0}, keys), KeysFileResult::WrongVersion);
  EXPECT_TRUE(keys.empty());

  UserKey big{0x41, std::vector<uint32_t>(300, 7)};
  ASSERT_EQ(parseKeysFile(serializeKeysFile({big, {0x42, {8}}}), keys), KeysFileResult::Ok);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].commands.size(), 255u);
  EXPECT_EQ(keys[1], (UserKey{0x42, {8}}));
}

TEST(KeysFile, DefaultTableAndKeyNames) {
  struct Case {
    uint32_t key;
    std::vector<uint32_t> commands;
    const char* text;
  } cases[] = {
      {kKeyCtrl | 'N', {1001}, "Ctrl+N"},          {kKeyCtrl | kKeyShift | 'B', {8003}, "Ctrl+Shift+B"},
      {kKeyCtrl | 0x6B, {5001}, "Ctrl+Num +"},     {0x74, {3001, 3002}, "F5"},
      {kKeyShift | 0x78, {3011}, "Shift+F9"},      {'N', {}, "N"},
      {kKeyCtrl | kKeyAlt | kKeyShift | 0x25, {}, "Ctrl+Alt+Shift+Left"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(defaultKeyCommands(c.key), c.commands) << std::hex << c.key;
    EXPECT_EQ(keyCodeText(c.key), c.text) << std::hex << c.key;
  }
  EXPECT_EQ(defaultKeys().size(), 35u);
}

}  // namespace
