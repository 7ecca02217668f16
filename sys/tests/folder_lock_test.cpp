#include "sys/folder_lock.h"

#include <gtest/gtest.h>

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

}  // namespace
