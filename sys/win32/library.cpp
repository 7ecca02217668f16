// Vendor libraries on Windows: LoadLibraryExW with a search that leaves out
// the current folder.

#include "sys/library.h"

#include <windows.h>

#include "sys/win32/wide_text.h"

namespace sys {

struct Library::State {
  HMODULE module = nullptr;
  ~State() {
    if (module) FreeLibrary(module);
  }
};

Library::Library() : m_state(std::make_unique<State>()) {}
Library::~Library() = default;
Library::Library(Library&&) noexcept = default;
Library& Library::operator=(Library&&) noexcept = default;

Library Library::load(const std::string& nameOrPath) {
  Library library;
  if (nameOrPath.empty()) return library;
  bool fullPath = nameOrPath.find_first_of("\\/") != std::string::npos;
  // For a full path its own folder is searched for what it needs; for a bare
  // name only the program's folder, System32 and folders added on purpose.
  DWORD flags = fullPath ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                         : LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
  library.m_state->module = LoadLibraryExW(win32::widen(nameOrPath).c_str(), nullptr, flags);
  return library;
}

bool Library::loaded() const { return m_state && m_state->module; }

void* Library::symbol(const std::string& name) const {
  if (!loaded()) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(m_state->module, name.c_str()));
}

}  // namespace sys
