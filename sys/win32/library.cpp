// Vendor libraries on Windows: LoadLibraryExW with a search that leaves out
// the current folder.

#include "sys/library.h"

#include <windows.h>

#include "sys/win32/wide_text.h"

namespace sys {

Library Library::load(const std::string& nameOrPath) {
  Library library;
  if (nameOrPath.empty()) return library;
  bool fullPath = nameOrPath.find_first_of("\\/") != std::string::npos;
  // For a full path its own folder is searched for what it needs; for a bare
  // name only the program's folder, System32 and folders added on purpose.
  DWORD flags = fullPath ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                         : LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
  library.m_handle = LoadLibraryExW(win32::widen(nameOrPath).c_str(), nullptr, flags);
  return library;
}

void Library::unload(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

void* Library::symbol(const std::string& name) const {
  if (!m_handle) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name.c_str()));
}

}  // namespace sys
