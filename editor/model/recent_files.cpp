#include "editor/model/recent_files.h"

#include <algorithm>

#include "editor/model/editor_settings.h"
#include "sys/folders.h"

namespace {

std::string pathName(int slot) { return "RecentFile " + std::to_string(slot); }
std::string dateName(int slot) { return "RecentFileDate" + std::to_string(slot); }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

// Where each UTF-8 character of text starts, so that shortening never splits one.
std::vector<size_t> characterStarts(const std::string& text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  return starts;
}

std::string doubleAmpersands(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

}  // namespace

void rememberRecent(sys::SettingsStore& settings, const std::string& path, int64_t now) {
  const char* section = kRecentSection;
  int used = 0, firstEmpty = 0, oldest = 0;
  int64_t oldestDate = 0;
  // The path's own slot wins wherever it is, so that a gap left in the list
  // cannot make the same file appear twice.
  for (int slot = 1; slot <= kRecentSlots && used == 0; ++slot) {
    std::string stored = settings.read(section, pathName(slot), "");
    if (equalIgnoringCase(stored, path)) {
      used = slot;
    } else if (stored.empty()) {
      if (firstEmpty == 0) firstEmpty = slot;
    } else {
      int64_t date = settings.readNumber(section, dateName(slot), now);
      if (oldest == 0 || date < oldestDate) {
        oldest = slot;
        oldestDate = date;
      }
    }
  }
  if (used == 0) {
    used = firstEmpty != 0 ? firstEmpty : oldest;
    settings.write(section, pathName(used), path);
  }
  settings.writeNumber(section, dateName(used), now);
}

std::vector<RecentEntry> recentEntries(const sys::SettingsStore& settings) {
  const char* section = kRecentSection;
  std::vector<RecentEntry> entries;
  for (int slot = 1; slot <= kRecentSlots; ++slot) {
    std::string path = settings.read(section, pathName(slot), "");
    if (!path.empty()) entries.push_back({slot, path, settings.readNumber(section, dateName(slot), 0)});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const RecentEntry& a, const RecentEntry& b) { return a.date > b.date; });
  return entries;
}

std::string recentMenuLabel(int position, const std::string& path) {
  std::string shown = path;
  std::vector<size_t> starts = characterStarts(path);
  if (starts.size() > 24) {
    shown = path.substr(0, starts[3]) + "...\\" + sys::fileNameOf(path);
  }
  return "&" + std::to_string(position) + "." + doubleAmpersands(shown);
}

void clearRecent(sys::SettingsStore& settings) {
  const char* section = kRecentSection;
  for (int slot = 1; slot <= kRecentSlots; ++slot) {
    settings.write(section, pathName(slot), "");
    settings.write(section, dateName(slot), "");
  }
}
