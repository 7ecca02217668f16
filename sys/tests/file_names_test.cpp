#include "sys/folders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PathCase {
  const char* path;
  const char* folder;
  const char* name;
};

// Both separators count on every platform: paths typed by users and stored
// in settings may come in either.
const PathCase kCases[] = {
    {"take.wav", "", "take.wav"},                          // no separator
    {"", "", ""},                                          // nothing at all
    {"C:\\music\\take.wav", "C:\\music", "take.wav"},      // Windows separators
    {"/home/me/take.wav", "/home/me", "take.wav"},         // POSIX separators
    {"C:\\music/live\\take.wav", "C:\\music/live", "take.wav"},  // both kinds mixed
    {"C:\\music/take.wav", "C:\\music", "take.wav"},       // the last one is '/'
    {"C:/music\\take.wav", "C:/music", "take.wav"},        // the last one is '\'
    {"C:\\music\\", "C:\\music", ""},                      // trailing separator: no name
    {"music/", "music", ""},
    {"C:\\take.wav", "C:\\", "take.wav"},                  // drive root keeps its separator
    {"C:/take.wav", "C:/", "take.wav"},
    {"C:\\", "C:\\", ""},
    {"/take.wav", "/", "take.wav"},                        // POSIX root
    {"\\take.wav", "\\", "take.wav"},                      // root of the current drive
    {"\\\\server\\share\\take.wav", "\\\\server\\share", "take.wav"},
    {"my.take.v2.wav", "", "my.take.v2.wav"},
};

TEST(FileNames, SplitAPathIntoItsFolderAndName) {
  for (const PathCase& c : kCases) {
    EXPECT_EQ(sys::folderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(sys::fileNameOf(c.path), c.name) << c.path;
  }
}

TEST(FileNames, FolderAndNameJoinBackToThePath) {
  const std::string nested = sys::joinPath(sys::joinPath("music", "live"), "take.wav");
  // A root's folder keeps its separator, so that joining does not turn
  // "/take.wav" into "take.wav".
  for (const std::string& path : {nested, std::string("/take.wav"), std::string("C:\\take.wav"),
                                  std::string("C:/take.wav")}) {
    EXPECT_EQ(sys::joinPath(sys::folderOf(path), sys::fileNameOf(path)), path);
  }
}

}  // namespace
