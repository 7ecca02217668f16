#include "ui/folder_browser.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "ui/text.h"

namespace ui {

namespace {

int CALLBACK selectStart(HWND window, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

}  // namespace

std::optional<std::string> browseForFolder(HWND owner, const std::string& title, const std::string& start) {
  const std::wstring wideTitle = widen(title), wideStart = widen(start);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = selectStart;
  info.lParam = wideStart.empty() ? 0 : reinterpret_cast<LPARAM>(wideStart.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  const bool named = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!named) return std::nullopt;
  return narrow(path);
}

std::optional<std::string> browseForProgram(HWND owner, const std::string& title, const std::string& start) {
  std::vector<wchar_t> path(32768, L'\0');
  const std::wstring initial = widen(start);
  if (initial.size() < path.size()) std::copy(initial.begin(), initial.end(), path.begin());
  const std::wstring wideTitle = widen(title);
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = owner;
  open.lpstrFilter = L"Exe File (.exe)\0*.exe\0";
  open.lpstrFile = path.data();
  open.nMaxFile = static_cast<DWORD>(path.size());
  open.lpstrTitle = wideTitle.c_str();
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameW(&open)) return std::nullopt;
  return narrow(path.data());
}

}  // namespace ui
