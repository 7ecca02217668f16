#include "editor/dialogs/folder_browse.h"

#include <shlobj.h>

#include "ui/text.h"

std::string browseForFolder(HWND owner, const wchar_t* title) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = title;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  std::string folder;
  if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse)) {
    wchar_t path[MAX_PATH];
    if (SHGetPathFromIDListW(chosen, path)) folder = ui::narrow(path);
    CoTaskMemFree(chosen);
  }
  return folder;
}
