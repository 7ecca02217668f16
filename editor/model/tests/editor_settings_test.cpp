#include "editor/model/editor_settings.h"

#include <gtest/gtest.h>

#include "editor/model/document_names.h"
#include "testkit/testkit.h"

namespace {

TEST(EditorSettings, DefaultsCoverMissingEmptyAndUnreadableValues) {
  auto store = sys::makeMemorySettingsStore();
  EditorSettings settings(*store);
  store->write(kSettingsSection, "AutoTrimThreshold", "");
  store->write(kSettingsSection, "PlaySpeed", "fast");
  store->write(kSettingsSection, "DefaultSampleRate", "99999999999");
  EXPECT_EQ(settings.autoTrimThreshold(), -20);
  EXPECT_EQ(settings.playSpeed(), 1);
  EXPECT_EQ(settings.defaultSampleRate(), 44100);
  settings.setMainMaximized(false);
  EXPECT_EQ(store->read(kMainWindowSection, "Maximized", ""), "0");
  EXPECT_FALSE(settings.mainMaximized());
}

TEST(EditorSettings, WorkingFolderChoiceAndCheck) {
  auto store = sys::makeMemorySettingsStore();
  EditorSettings settings(*store);
  settings.setWorkingFolder("E:\\scratch");
  EXPECT_EQ(chooseWorkingFolder(settings, "U"), "U");
  settings.setUseDefaultWorkingDir(false);
  EXPECT_EQ(chooseWorkingFolder(settings, "U"), "E:\\scratch");
  settings.setWorkingFolder("");
  EXPECT_EQ(chooseWorkingFolder(settings, "U"), "U");

  testkit::ScratchFolder scratch;
  EXPECT_EQ(checkWorkingFolder(scratch.path()), FolderCheck::Ok);
  EXPECT_EQ(checkWorkingFolder(scratch.file("not-there")), FolderCheck::Missing);
  EXPECT_EQ(checkWorkingFolder(" "), FolderCheck::Empty);
}

TEST(DocumentNames, SmallestFreeUntitledNumber) {
  EXPECT_EQ(nextUntitledNumber({"Untitled 1", "song.wav", "Untitled 3"}), 2);
  std::vector<std::string> all;
  for (int n = 1; n <= 19; ++n) all.push_back(untitledName(n));
  EXPECT_EQ(nextUntitledNumber(all), 1);
  all.erase(all.begin() + 16);
  EXPECT_EQ(nextUntitledNumber(all), 17);
}

}  // namespace
