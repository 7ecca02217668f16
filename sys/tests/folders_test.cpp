#include "sys/folders.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sys/file.h"
#include "sys/tests/platform.h"
#include "testkit/testkit.h"

namespace {

void touch(const std::string& path) {
  sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
}

TEST(Folders, CreatesNestedFoldersListsTheirFilesAndRemovesThem) {
  testkit::ScratchFolder scratch;
  std::string top = sys::joinPath(scratch.path(), "a");
  std::string nested = sys::joinPath(sys::joinPath(top, "b"), "c");
  EXPECT_FALSE(sys::folderExists(nested));
  ASSERT_TRUE(sys::createFolder(nested));
  EXPECT_TRUE(sys::folderExists(nested));
  EXPECT_TRUE(sys::createFolder(nested)) << "an existing folder is fine";
  EXPECT_TRUE(sys::createFolder(sys::joinPath(top, "d")));

  touch(sys::joinPath(top, "one.aud"));
  touch(sys::joinPath(top, "two.grf"));
  std::vector<std::string> names = sys::listFiles(top);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"one.aud", "two.grf"})) << "folders are not files";
  EXPECT_TRUE(sys::fileExists(sys::joinPath(top, "one.aud")));
  EXPECT_FALSE(sys::fileExists(top));
  EXPECT_FALSE(sys::folderExists(sys::joinPath(top, "one.aud")));
  EXPECT_TRUE(sys::listFiles(sys::joinPath(top, "missing")).empty());

  EXPECT_FALSE(sys::removeEmptyFolder(top)) << "it still holds files";
  EXPECT_TRUE(sys::deleteFile(sys::joinPath(top, "one.aud")));
  EXPECT_FALSE(sys::deleteFile(sys::joinPath(top, "one.aud")));
  EXPECT_TRUE(sys::deleteFile(sys::joinPath(top, "two.grf")));
  EXPECT_TRUE(sys::removeEmptyFolder(nested));
  EXPECT_TRUE(sys::removeEmptyFolder(sys::joinPath(top, "b")));
  EXPECT_TRUE(sys::removeEmptyFolder(sys::joinPath(top, "d")));
  EXPECT_TRUE(sys::removeEmptyFolder(top));
  EXPECT_FALSE(sys::folderExists(top));
}

TEST(Folders, CreatingAFolderWhereAFileStandsFails) {
  testkit::ScratchFolder scratch;
  std::string blocker = scratch.file("blocker");
  touch(blocker);
  EXPECT_FALSE(sys::createFolder(blocker));
  EXPECT_FALSE(sys::createFolder(sys::joinPath(blocker, "inside")));
  EXPECT_FALSE(sys::createFolder(""));
}

TEST(Folders, JoinsWithOneSeparator) {
  std::string joined = sys::joinPath("base", "name");
  ASSERT_EQ(joined.size(), 9u);
  EXPECT_TRUE(joined[4] == '/' || joined[4] == '\\');
  EXPECT_EQ(sys::joinPath("base/", "name"), "base/name");
  EXPECT_EQ(sys::joinPath("base\\", "name"), "base\\name");
  EXPECT_EQ(sys::joinPath("", "name"), "name");
}

TEST(Folders, ReportsTheFreeSpaceOfTheVolumeAndTheSystemPlaces) {
  testkit::ScratchFolder scratch;
  EXPECT_GT(sys::freeDiskSpace(scratch.path()), 0);
  touch(scratch.file("f"));
  EXPECT_GT(sys::freeDiskSpace(scratch.file("f")), 0) << "a file's volume counts";
  EXPECT_EQ(sys::freeDiskSpace(scratch.file("missing/deeper")), -1);

  std::string temp = sys::tempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_NE(temp.back(), '/');
  EXPECT_NE(temp.back(), '\\');
  EXPECT_TRUE(sys::folderExists(temp));
  if (systest::kOnWindows) {
    // The prefix (or the Windows profile) always names the user's data folder.
    std::string appData = sys::userAppDataFolder();
    EXPECT_FALSE(appData.empty());
    EXPECT_TRUE(sys::folderExists(appData)) << appData;
  }
}

TEST(FileBeside, ReplacesTheTargetInOneStepAndLeavesBothAloneOnFailure) {
  testkit::ScratchFolder scratch;
  std::string target = sys::joinPath(scratch.path(), "song.wav");
  auto writeText = [](const std::string& path, const std::string& text) {
    sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
    file.write(text.data(), text.size());
    EXPECT_TRUE(file.flush());
  };
  auto readText = [](const std::string& path) {
    sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
    std::string text(static_cast<size_t>(std::max<int64_t>(file.size(), 0)), '\0');
    text.resize(file.read(text.data(), text.size()));
    return text;
  };
  writeText(target, "original");

  std::string first = sys::createFileBeside(target);
  std::string second = sys::createFileBeside(target);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(sys::folderOf(first), sys::folderOf(target)) << "a rename within one volume";
  EXPECT_EQ(sys::fileNameOf(first).rfind(".song.wav.", 0), 0u) << first;
  EXPECT_TRUE(sys::File::open(first, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateNew)
                  .isOpen() == false)
      << "a new file never takes over an existing one";

  writeText(first, "replacement");
  ASSERT_TRUE(sys::replaceFile(first, target));
  EXPECT_EQ(readText(target), "replacement");
  EXPECT_FALSE(sys::fileExists(first));

  EXPECT_FALSE(sys::replaceFile(sys::joinPath(scratch.path(), "missing.tmp"), target));
  EXPECT_EQ(readText(target), "replacement") << "a failed replace leaves the target";
  EXPECT_TRUE(sys::deleteFile(second));
  EXPECT_TRUE(sys::createFileBeside(sys::joinPath(sys::joinPath(scratch.path(), "no-folder"), "x.wav")).empty());
}

}  // namespace

TEST(UniqueFolder, EachCallMakesANewEmptyFolderAndNeverReusesOne) {
  testkit::ScratchFolder scratch;
  std::string first = sys::createUniqueFolder(scratch.path(), "dl-");
  std::string second = sys::createUniqueFolder(scratch.path(), "dl-");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  EXPECT_TRUE(sys::folderExists(first));
  EXPECT_TRUE(sys::folderExists(second));
  EXPECT_EQ(first.rfind(sys::joinPath(scratch.path(), "dl-"), 0), 0u);
  EXPECT_TRUE(sys::removeEmptyFolder(first));
  EXPECT_TRUE(sys::removeEmptyFolder(second));
  EXPECT_TRUE(sys::createUniqueFolder(scratch.file("missing-parent"), "dl-").empty());
}
