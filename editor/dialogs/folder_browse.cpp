#include "editor/dialogs/folder_browse.h"

#include "ui/folder_browser.h"
#include "ui/text.h"

std::string browseForFolder(HWND owner, const wchar_t* title) {
  return ui::browseForFolder(owner, ui::narrow(title), "").value_or("");
}
