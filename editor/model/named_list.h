#pragma once
// Lists of named things (bookmarks of a file, the frame's regions): names
// are unique in a list and compared as the user reads them, ignoring case.

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

inline bool sameItemName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The index of the item named name, or -1.
template <typename Item>
int findNamed(const std::vector<Item>& items, const std::string& name) {
  for (size_t i = 0; i < items.size(); ++i)
    if (sameItemName(items[i].name, name)) return static_cast<int>(i);
  return -1;
}

// Puts item in place of the one with its name, or at the end.
template <typename Item>
void putNamed(std::vector<Item>& items, Item item) {
  int existing = findNamed(items, item.name);
  if (existing >= 0)
    items[existing] = std::move(item);
  else
    items.push_back(std::move(item));
}

// name, or when an item has it, "name (2)", "name (3)", ... whichever is free.
template <typename Item>
std::string unusedName(const std::vector<Item>& items, const std::string& name) {
  std::string candidate = name;
  for (int n = 2; findNamed(items, candidate) >= 0; ++n) candidate = name + " (" + std::to_string(n) + ")";
  return candidate;
}

enum class RenameCheck { Ok, Empty, Taken };

// Whether items[index] may take name: not empty (blanks alone count as
// empty), and not the name of another item.
template <typename Item>
RenameCheck checkRename(const std::vector<Item>& items, int index, const std::string& name) {
  if (name.find_first_not_of(" \t") == std::string::npos) return RenameCheck::Empty;
  int other = findNamed(items, name);
  return other >= 0 && other != index ? RenameCheck::Taken : RenameCheck::Ok;
}

// Removes the items at the given indices (any order, repeats allowed).
template <typename Item>
void eraseIndices(std::vector<Item>& items, std::vector<int> indices) {
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  for (auto it = indices.rbegin(); it != indices.rend(); ++it)
    if (*it >= 0 && *it < static_cast<int>(items.size())) items.erase(items.begin() + *it);
}
