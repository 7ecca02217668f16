#include "editor/model/recent_files.h"

#include <gtest/gtest.h>

#include "editor/model/editor_settings.h"

namespace {

std::string slot(const sys::SettingsStore& store, int n, const char* name = "RecentFile ") {
  return store.read(kRecentSection, name + std::to_string(n), "");
}

std::vector<std::string> listed(const sys::SettingsStore& store) {
  std::vector<std::string> paths;
  for (const auto& entry : recentEntries(store)) paths.push_back(entry.path);
  return paths;
}

TEST(RecentFiles, SlotsAreReusedForTheSameFileThenFilledThenTakenFromTheOldest) {
  auto store = sys::makeMemorySettingsStore();
  rememberRecent(*store, "C:\\a.wav", 100);
  rememberRecent(*store, "C:\\b.wav", 200);
  rememberRecent(*store, "c:\\A.WAV", 300);  // the same file: only its date changes
  EXPECT_EQ(listed(*store), (std::vector<std::string>{"C:\\a.wav", "C:\\b.wav"}));
  EXPECT_EQ(slot(*store, 1, "RecentFileDate"), "300");
  // A gap before a file's own slot does not make it appear twice.
  store->write(kRecentSection, "RecentFile 1", "");
  rememberRecent(*store, "C:\\B.wav", 400);
  EXPECT_EQ(listed(*store), std::vector<std::string>{"C:\\b.wav"});

  store = sys::makeMemorySettingsStore();
  for (int i = 1; i <= kRecentSlots; ++i) rememberRecent(*store, std::string("f").append(std::to_string(i)), 1000);
  store->write(kRecentSection, "RecentFileDate4", "5");  // tied oldest with slot 6: the first wins
  store->write(kRecentSection, "RecentFileDate6", "5");
  store->remove(kRecentSection, "RecentFileDate2");      // no date: as new as now
  rememberRecent(*store, "new", 2000);
  rememberRecent(*store, "newer", 2001);
  EXPECT_EQ(slot(*store, 4), "new");
  EXPECT_EQ(slot(*store, 6), "newer");
  std::vector<std::string> order = listed(*store);
  ASSERT_EQ(order.size(), 11u);
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 3), (std::vector<std::string>{"newer", "new", "f1"}));
  EXPECT_EQ(order.back(), "f2");  // no readable date: listed last

  clearRecent(*store);
  EXPECT_TRUE(recentEntries(*store).empty());
  EXPECT_EQ(slot(*store, 11, "RecentFileDate"), "");
}

TEST(RecentFiles, MenuLabelsShortenLongPaths) {
  struct Case {
    int position;
    const char *path, *label;
  } cases[] = {
      {2, "C:\\123456789\\1234567.wav", "&2.C:\\123456789\\1234567.wav"},  // 24 characters
      {3, "C:\\123456789\\12345678.wav", "&3.C:\\...\\12345678.wav"},
      {11, "D:\\recordings/2024/interview.mp3", "&11.D:\\...\\interview.mp3"},
      {4, "C:\\Tom & Jerry.wav", "&4.C:\\Tom && Jerry.wav"},
      {5, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\\aaaaaaaaaaaaaaaaaaaa.wav", "&5.\xC3\xA9\xC3\xA9\xC3\xA9...\\aaaaaaaaaaaaaaaaaaaa.wav"},
  };
  for (const auto& c : cases) EXPECT_EQ(recentMenuLabel(c.position, c.path), c.label) << c.path;
}

}  // namespace
