#include "sys/folder_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

TEST(FolderLock, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
  testkit::ScratchFolder scratch;
  sys::FolderLock first;
  EXPECT_FALSE(first.held());
  ASSERT_TRUE(first.take(scratch.path()));
  EXPECT_TRUE(first.held());

  sys::FolderLock second;
  EXPECT_FALSE(second.take(scratch.path()));
  EXPECT_FALSE(second.held());

  first.release();
  EXPECT_FALSE(first.held());
  EXPECT_TRUE(sys::listFiles(scratch.path()).empty()) << "the lock file goes with the lock";
  EXPECT_TRUE(second.take(scratch.path()));
}

TEST(FolderLock, EndsWithItsOwnerAndMovesWithIt) {
  testkit::ScratchFolder scratch;
  sys::FolderLock moved;
  {
    sys::FolderLock owner;
    ASSERT_TRUE(owner.take(scratch.path()));
    moved = std::move(owner);
  }
  EXPECT_TRUE(moved.held());
  EXPECT_FALSE(sys::FolderLock().take(scratch.path())) << "the moved lock still holds";
  {
    sys::FolderLock scoped = std::move(moved);
  }
  sys::FolderLock after;
  EXPECT_TRUE(after.take(scratch.path()));
}

TEST(FolderLock, FailsOnAFolderThatDoesNotExist) {
  testkit::ScratchFolder scratch;
  sys::FolderLock lock;
  EXPECT_FALSE(lock.take(sys::joinPath(scratch.path(), "missing")));
  EXPECT_FALSE(lock.held());
}

TEST(FolderLock, NeverHeldTwiceWhileHoldersComeAndGo) {
  // Holders taking and letting go as fast as they can, as editors starting
  // and ending at once do: a take racing a release must not end up holding
  // a lock file that the release has just deleted while another holder
  // takes a new one.
  testkit::ScratchFolder scratch;
  std::atomic<int> holders{0};
  std::atomic<int> overlaps{0};
  std::atomic<int> takes{0};
  auto churn = [&] {
    for (int i = 0; i < 10000; ++i) {
      sys::FolderLock lock;
      if (!lock.take(scratch.path())) continue;
      ++takes;
      if (holders.fetch_add(1) != 0) ++overlaps;
      for (int spin = 0; spin < 20; ++spin) std::this_thread::yield();
      holders.fetch_sub(1);
      lock.release();
    }
  };
  std::thread a(churn), b(churn);
  a.join();
  b.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_GT(takes.load(), 0);
}

}  // namespace
