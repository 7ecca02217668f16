#include "editor/help_contents.h"

#include <shellapi.h>

#include <string_view>
#include <vector>

#include "sys/file.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace {

std::string_view helpPage(HINSTANCE instance) {
  HRSRC found = FindResourceW(instance, kHelpResourceName, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const char*>(bytes), SizeofResource(instance, found)};
}

bool sameContent(const std::string& path, std::string_view page) {
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::ReadWrite, sys::Disposition::OpenExisting);
  if (!file.isOpen() || file.size() != static_cast<int64_t>(page.size())) return false;
  std::vector<char> content(page.size());
  return file.read(content.data(), content.size()) == content.size() &&
         std::string_view(content.data(), content.size()) == page;
}

// A viewer may still be reading an older copy; the page is only rewritten
// when it differs, and then in full or not at all.
bool writePage(const std::string& path, std::string_view page) {
  if (sameContent(path, page)) return true;
  std::string partial = path + ".new";
  {
    sys::File file =
        sys::File::open(partial, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
    if (!file.isOpen() || file.write(page.data(), page.size()) != page.size()) {
      file.close();
      sys::deleteFile(partial);
      return false;
    }
  }
  if (MoveFileExW(ui::widen(partial).c_str(), ui::widen(path).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  sys::deleteFile(partial);
  return false;
}

}  // namespace

bool openHelpContents(HINSTANCE instance, HWND owner, const std::string& folder) {
  std::string path = sys::joinPath(folder, kHelpFileName);
  std::string_view page = helpPage(instance);
  if (page.empty() || !writePage(path, page)) {
    ui::showMessage(owner, ui::formatText("Cannot write the help file \"%s\".", path.c_str()), "Razavo",
                    MB_OK | MB_ICONINFORMATION);
    return false;
  }
  // ShellExecute reports success with a value above 32.
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"open", ui::widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  ui::showMessage(owner,
                  ui::formatText("Cannot open the help file \"%s\". Open it with your web browser.", path.c_str()),
                  "Razavo", MB_OK | MB_ICONINFORMATION);
  return false;
}
