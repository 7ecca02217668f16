#include "recorder/transmit/send_list.h"

#include <gtest/gtest.h>

#include "sys/folders.h"
#include "testkit/testkit.h"

namespace recorder {
namespace {

std::vector<uint8_t> header(uint16_t version, uint16_t counter, uint32_t recordBytes) {
  return {static_cast<uint8_t>(version), static_cast<uint8_t>(version >> 8), static_cast<uint8_t>(counter),
          static_cast<uint8_t>(counter >> 8), static_cast<uint8_t>(recordBytes),
          static_cast<uint8_t>(recordBytes >> 8), static_cast<uint8_t>(recordBytes >> 16),
          static_cast<uint8_t>(recordBytes >> 24)};
}

TEST(SendList, KeepsRecordingsInTheOrderTheyFinished) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  EXPECT_FALSE(list.first());
  ASSERT_TRUE(list.append("C:\\Rec\\one.wav"));
  ASSERT_TRUE(list.append("C:\\Rec\\two.mp3"));
  std::vector<uint8_t> bytes = testkit::readAll(list.path());
  ASSERT_EQ(bytes.size(), 8u + 2 * 260u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), header(1, 0, 260));
  EXPECT_EQ(bytes[8 + 259], 0);
  EXPECT_EQ(list.first().value_or(""), "C:\\Rec\\one.wav");
  ASSERT_TRUE(list.dropFirst());
  EXPECT_EQ(list.first().value_or(""), "C:\\Rec\\two.mp3");
  ASSERT_TRUE(list.dropFirst());
  // A header alone holds nothing: the list goes.
  EXPECT_EQ(testkit::readAll(list.path()).size(), 8u);
  EXPECT_FALSE(list.first());
  EXPECT_FALSE(sys::fileExists(list.path()));
  EXPECT_EQ(sys::listFiles(folder.path()).size(), 0u);
}

TEST(SendList, RefusesPathsThatDoNotFitARecord) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  EXPECT_FALSE(list.append(std::string(260, 'a')));
  EXPECT_FALSE(list.append(""));
  EXPECT_TRUE(list.append(std::string(259, 'a')));
  EXPECT_EQ(list.first().value_or("").size(), 259u);
}

TEST(SendList, AStartCountsUntilTheListIsDroppedAtTheThird) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  EXPECT_EQ(list.checkAtStart(), SendListStart::Missing);
  ASSERT_TRUE(list.append("C:\\Rec\\hangs.wav"));
  EXPECT_EQ(list.checkAtStart(), SendListStart::Kept);
  EXPECT_EQ(list.checkAtStart(), SendListStart::Kept);
  EXPECT_EQ(testkit::readAll(list.path())[2], 2);
  EXPECT_EQ(list.checkAtStart(), SendListStart::Dropped);
  EXPECT_FALSE(sys::fileExists(list.path()));

  // A list that advanced starts counting again.
  ASSERT_TRUE(list.append("C:\\Rec\\a.wav"));
  ASSERT_TRUE(list.append("C:\\Rec\\b.wav"));
  EXPECT_EQ(list.checkAtStart(), SendListStart::Kept);
  EXPECT_EQ(list.checkAtStart(), SendListStart::Kept);
  ASSERT_TRUE(list.dropFirst());
  EXPECT_EQ(list.checkAtStart(), SendListStart::Kept);
  EXPECT_EQ(list.first().value_or(""), "C:\\Rec\\b.wav");
}

TEST(SendList, DamagedListsAreDeletedAtStart) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  std::vector<uint8_t> record(260, 0);
  record[0] = 'x';
  for (const std::vector<uint8_t>& head : {header(2, 0, 260), header(1, 0, 256), header(1, 7, 260)}) {
    std::vector<uint8_t> bytes = head;
    bytes.insert(bytes.end(), record.begin(), record.end());
    ASSERT_TRUE(testkit::writeAll(list.path(), bytes));
    EXPECT_EQ(list.checkAtStart(), SendListStart::Dropped);
    EXPECT_FALSE(sys::fileExists(list.path()));
  }
  ASSERT_TRUE(testkit::writeAll(list.path(), {1, 0}));
  EXPECT_EQ(list.checkAtStart(), SendListStart::Dropped);
}

TEST(SendList, ARecordCutShortIsDroppedOrOverwritten) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  std::vector<uint8_t> bytes = header(1, 0, 260);
  bytes.resize(bytes.size() + 100, 'y');
  ASSERT_TRUE(testkit::writeAll(list.path(), bytes));
  // The first read finds less than a record: the list goes.
  EXPECT_FALSE(list.first());
  EXPECT_FALSE(sys::fileExists(list.path()));

  // An append after a half-written record writes over it.
  ASSERT_TRUE(testkit::writeAll(list.path(), bytes));
  ASSERT_TRUE(list.append("C:\\Rec\\whole.wav"));
  EXPECT_EQ(testkit::readAll(list.path()).size(), 8u + 260u);
  EXPECT_EQ(list.first().value_or(""), "C:\\Rec\\whole.wav");
}

TEST(SendList, AFailedRewriteLeavesTheListAsItWas) {
  testkit::ScratchFolder folder;
  SendList list(folder.file("bgsend.lst"), 0);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(list.append("C:\\Rec\\take " + std::to_string(i) + ".wav"));
  const std::vector<uint8_t> before = testkit::readAll(list.path());
  {
    // The shorter list does not fit: as if the disk were full half-way.
    testkit::FileSizeLimit limit(300);
    if (!limit.active()) GTEST_SKIP() << "no file size limit here";
    EXPECT_FALSE(list.dropFirst());
  }
  EXPECT_EQ(testkit::readAll(list.path()), before);
  EXPECT_EQ(sys::listFiles(folder.path()).size(), 1u);
  EXPECT_TRUE(list.dropFirst());
  EXPECT_EQ(list.first().value_or(""), "C:\\Rec\\take 1.wav");
}

}  // namespace
}  // namespace recorder
