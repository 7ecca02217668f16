#pragma once
// The recently used files: eleven slots of the settings section "Recent",
// each a path ("RecentFile n") and when it was last used ("RecentFileDate n",
// seconds since 1970 as decimal text).

#include <cstdint>
#include <string>
#include <vector>

#include "sys/settings_store.h"

constexpr int kRecentSlots = 11;

// Puts path into its own slot (matched ignoring ASCII case), else the first
// empty slot, else the slot used longest ago, and dates that slot now.
void rememberRecent(sys::SettingsStore& settings, const std::string& path, int64_t now);

struct RecentEntry {
  int slot;  // 1..11
  std::string path;
  int64_t date;  // 0 when the slot has no readable date
};
// The filled slots, newest first; equal dates in slot order.
std::vector<RecentEntry> recentEntries(const sys::SettingsStore& settings);

// "&n.path" for the File menu; paths longer than 24 characters become the
// drive, "...\" and the file name. Ampersands of the path are doubled so that
// the menu shows them instead of underlining the next letter.
std::string recentMenuLabel(int position, const std::string& path);

// Empties all the slots and their dates.
void clearRecent(sys::SettingsStore& settings);
