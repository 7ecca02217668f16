#include "ui/folder_browser.h"

#include <shlobj.h>

#include "ui/text.h"

namespace ui {

std::optional<std::string> browseForFolder(HWND owner, const std::string& prompt) {
  std::wstring title = widen(prompt);
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH];
  std::optional<std::string> folder;
  if (SHGetPathFromIDListW(chosen, path)) folder = narrow(path);
  CoTaskMemFree(chosen);
  return folder;
}

}  // namespace ui
