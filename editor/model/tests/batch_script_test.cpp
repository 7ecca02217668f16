#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "editor/model/batch_script.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

void appendU32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> record(uint32_t index, std::vector<uint8_t> parameters, uint32_t claimedLength) {
  std::vector<uint8_t> bytes;
  appendU32(bytes, index);
  appendU32(bytes, claimedLength);
  bytes.insert(bytes.end(), parameters.begin(), parameters.end());
  return bytes;
}

BatchScript parse(const std::vector<uint8_t>& bytes) { return parseBatchScript(bytes.data(), bytes.size()); }

TEST(BatchScript, WrittenScriptReadsBackInOrder) {
  const std::vector<BatchCommand> commands = {
      {4, {100, 0}}, {7, {0x20, 0x03, 0, 0, 50, 0}}, {0, {}}, {16, {0xF6, 4, 0}}, {20, {}}};
  const std::vector<uint8_t> bytes = batchScriptBytes(commands);
  // Version, then index, length and block per command: 1 + 5 * 8 + 2 + 6 + 3.
  ASSERT_EQ(bytes.size(), 52u);
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 1, bytes.begin() + 9),
            (std::vector<uint8_t>{4, 0, 0, 0, 2, 0, 0, 0}));
  const BatchScript script = parse(bytes);
  ASSERT_EQ(script.status, BatchScriptStatus::Read);
  ASSERT_EQ(script.commands.size(), commands.size());
  for (size_t i = 0; i < commands.size(); ++i) {
    EXPECT_EQ(script.commands[i].index, commands[i].index);
    EXPECT_EQ(script.commands[i].parameters, commands[i].parameters);
  }
}

TEST(BatchScript, VersionByteDecidesWhetherTheFileIsRead) {
  const BatchScript onlyVersion = parse({0});
  EXPECT_EQ(onlyVersion.status, BatchScriptStatus::Read);
  EXPECT_TRUE(onlyVersion.commands.empty());
  EXPECT_EQ(parse({}).status, BatchScriptStatus::WrongVersion);
  std::vector<uint8_t> otherVersion = record(4, {100, 0}, 2);
  otherVersion.insert(otherVersion.begin(), 1);
  const BatchScript refused = parse(otherVersion);
  EXPECT_EQ(refused.status, BatchScriptStatus::WrongVersion);
  EXPECT_TRUE(refused.commands.empty());
}

TEST(BatchScript, DamagedRecordsEndTheListOrRefuseTheFile) {
  std::vector<uint8_t> good = {0};
  const std::vector<uint8_t> amplify = record(3, {50, 0}, 2);
  good.insert(good.end(), amplify.begin(), amplify.end());

  // A length that claims more than the file holds ends the read there.
  std::vector<uint8_t> overlong = good;
  const std::vector<uint8_t> huge = record(7, {1, 2, 3}, 0xFFFFFFF0u);
  overlong.insert(overlong.end(), huge.begin(), huge.end());
  BatchScript script = parse(overlong);
  ASSERT_EQ(script.status, BatchScriptStatus::Read);
  ASSERT_EQ(script.commands.size(), 1u);
  EXPECT_EQ(script.commands[0].index, 3u);

  // A record whose length field is cut off ends it too.
  std::vector<uint8_t> cut = good;
  cut.insert(cut.end(), {5, 0, 0, 0, 4, 0});
  EXPECT_EQ(parse(cut).commands.size(), 1u);

  // An index past the 21 commands: the file is refused, nothing kept.
  for (uint32_t index : {21u, 0x80000000u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> corrupt = good;
    const std::vector<uint8_t> unknown = record(index, {}, 0);
    corrupt.insert(corrupt.end(), unknown.begin(), unknown.end());
    script = parse(corrupt);
    EXPECT_EQ(script.status, BatchScriptStatus::Corrupt) << index;
    EXPECT_TRUE(script.commands.empty());
  }
}

TEST(BatchScript, OnlyTheCommandsOwnParameterBytesAreKept) {
  // Amplify takes two bytes; the other six are passed over, and the next
  // record still follows the length as written.
  std::vector<uint8_t> bytes = {0};
  const std::vector<uint8_t> amplify = record(3, {150, 0, 9, 9, 9, 9, 9, 9}, 8);
  const std::vector<uint8_t> trim = record(0, {7, 7}, 2);
  bytes.insert(bytes.end(), amplify.begin(), amplify.end());
  bytes.insert(bytes.end(), trim.begin(), trim.end());
  const BatchScript script = parse(bytes);
  ASSERT_EQ(script.commands.size(), 2u);
  EXPECT_EQ(script.commands[0].parameters, (std::vector<uint8_t>{150, 0}));
  EXPECT_EQ(script.commands[1].index, 0u);
  EXPECT_TRUE(script.commands[1].parameters.empty());
}

TEST(BatchScript, FilesAreWrittenWholeAndReadBack) {
  testkit::ScratchFolder scratch;
  const std::string path = scratch.file("list.vrb");
  EXPECT_EQ(readBatchScriptFile(path).status, BatchScriptStatus::Unreadable);
  const std::vector<BatchCommand> commands = {{5, {0xFA, 0, 0, 0}}, {10, {}}};
  ASSERT_TRUE(writeBatchScriptFile(path, commands));
  EXPECT_EQ(testkit::readAll(path), batchScriptBytes(commands));
  // Writing again replaces the old script.
  ASSERT_TRUE(writeBatchScriptFile(path, {commands[1]}));
  const BatchScript script = readBatchScriptFile(path);
  ASSERT_EQ(script.commands.size(), 1u);
  EXPECT_EQ(script.commands[0].index, 10u);
  // No file beside it is left behind.
  EXPECT_EQ(sys::listFiles(scratch.path()).size(), 1u);
  EXPECT_FALSE(writeBatchScriptFile(scratch.file("missing/list.vrb"), commands));
}

}  // namespace
