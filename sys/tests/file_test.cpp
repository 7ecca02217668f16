#include "sys/file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sys/tests/platform.h"
#include "testkit/testkit.h"

namespace {

using sys::Access;
using sys::Disposition;
using sys::File;
using sys::Share;

TEST(File, WritesAndReadsBackAtAnyOffsetAndReportsShortReadsAtTheEnd) {
  testkit::ScratchFolder scratch;
  std::string path = scratch.file("data.bin");
  File file = File::open(path, Access::ReadWrite, Share::None, Disposition::CreateAlways);
  ASSERT_TRUE(file.isOpen());
  const std::string text = "0123456789";
  EXPECT_EQ(file.write(text.data(), text.size()), text.size());
  EXPECT_EQ(file.tell(), 10);
  ASSERT_TRUE(file.seek(3));
  EXPECT_EQ(file.write("abc", 3), 3u);
  ASSERT_TRUE(file.seek(0));
  char back[16] = {};
  EXPECT_EQ(file.read(back, sizeof back), 10u);
  EXPECT_EQ(std::string(back, 10), "012abc6789");
  EXPECT_EQ(file.read(back, 1), 0u);
  EXPECT_FALSE(file.seek(-1));
  file.close();
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(file.size(), -1);
  EXPECT_EQ(file.read(back, 1), 0u);
}

TEST(File, DispositionsDecideBetweenMissingKeptAndTruncatedContent) {
  testkit::ScratchFolder scratch;
  std::string path = scratch.file("kept.bin");
  EXPECT_FALSE(File::open(path, Access::Read, Share::Read, Disposition::OpenExisting).isOpen());
  EXPECT_FALSE(File::open(scratch.path(), Access::Read, Share::Read, Disposition::OpenExisting).isOpen());
  {
    File created = File::open(path, Access::ReadWrite, Share::Read, Disposition::OpenAlways);
    ASSERT_TRUE(created.isOpen());
    EXPECT_EQ(created.write("12345", 5), 5u);
  }
  EXPECT_EQ(File::open(path, Access::Read, Share::Read, Disposition::OpenAlways).size(), 5);
  File reader = File::open(path, Access::Read, Share::ReadWrite, Disposition::OpenExisting);
  EXPECT_EQ(reader.size(), 5);
  EXPECT_EQ(reader.write("x", 1), 0u) << "a file opened for reading takes no writes";
  reader.close();
  EXPECT_EQ(File::open(path, Access::ReadWrite, Share::Read, Disposition::CreateAlways).size(), 0);
}

TEST(File, SeeksPastFourGibibytesAndCutsTheFileThere) {
  testkit::ScratchFolder scratch;
  std::string path = scratch.file("large.bin");
  File file = File::open(path, Access::ReadWrite, Share::None, Disposition::CreateAlways);
  ASSERT_TRUE(file.isOpen());
  // Beyond every 32-bit boundary: offsets above 2^32 must survive in full.
  const int64_t far = (int64_t{1} << 32) + 4096 + 3;
  ASSERT_TRUE(file.seek(far));
  EXPECT_EQ(file.tell(), far);
  ASSERT_EQ(file.write("tail", 4), 4u);
  EXPECT_EQ(file.size(), far + 4);
  ASSERT_TRUE(file.seek(far + 1));
  char back[3] = {};
  EXPECT_EQ(file.read(back, 3), 3u);
  EXPECT_EQ(std::string(back, 3), "ail");
  // The gap reads as zeros.
  ASSERT_TRUE(file.seek(far - 2));
  EXPECT_EQ(file.read(back, 3), 3u);
  EXPECT_EQ(std::string(back, 3), std::string("\0\0t", 3));

  ASSERT_TRUE(file.seek(far + 2));
  EXPECT_TRUE(file.truncateHere());
  EXPECT_EQ(file.size(), far + 2);
  ASSERT_TRUE(file.seek(1000));
  EXPECT_TRUE(file.truncateHere());
  EXPECT_EQ(file.size(), 1000);
  EXPECT_EQ(file.tell(), 1000);
}

TEST(File, AnExclusiveOpenRefusesEveryOtherOpenUntilClosed) {
  if (!systest::kOnWindows) GTEST_SKIP() << "share modes are enforced by Windows only";
  testkit::ScratchFolder scratch;
  std::string path = scratch.file("exclusive.bin");
  File holder = File::open(path, Access::ReadWrite, Share::None, Disposition::CreateAlways);
  ASSERT_TRUE(holder.isOpen());
  EXPECT_FALSE(File::open(path, Access::Read, Share::ReadWrite, Disposition::OpenExisting).isOpen());
  holder.close();

  File reader = File::open(path, Access::Read, Share::Read, Disposition::OpenExisting);
  ASSERT_TRUE(reader.isOpen());
  EXPECT_TRUE(File::open(path, Access::Read, Share::Read, Disposition::OpenExisting).isOpen());
  EXPECT_FALSE(File::open(path, Access::ReadWrite, Share::ReadWrite, Disposition::OpenExisting).isOpen())
      << "the reader shares reading only";
}

}  // namespace
