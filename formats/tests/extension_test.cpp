#include "formats/extension.h"

#include <gtest/gtest.h>

namespace {

TEST(Extension, IsTheLowerCaseEndOfTheFileNameOnly) {
  const struct {
    const char* path;
    const char* extension;
  } cases[] = {
      {"take.WAV", ".wav"},
      {"C:\\music\\take.Mp3", ".mp3"},
      {"/home/me/take.tar.aiff", ".aiff"},  // the last dot counts
      {"take", ""},
      {"C:\\music.v2\\take", ""},           // a dot in a folder's name is not the file's
      {"/home/me.d/take", ""},
      {"C:\\music.v2/take.au", ".au"},      // either separator
      {"take.", "."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(lowerExtension(c.path), c.extension) << c.path;
}

}  // namespace
