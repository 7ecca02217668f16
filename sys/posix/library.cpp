// Vendor libraries elsewhere: dlopen. The vendors' libraries exist only for
// Windows, so this serves the tests of the paths that find none.

#include "sys/library.h"

#include <dlfcn.h>

namespace sys {

Library Library::load(const std::string& nameOrPath) {
  Library library;
  if (!nameOrPath.empty()) library.m_handle = dlopen(nameOrPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  return library;
}

void Library::unload(void* handle) { dlclose(handle); }

void* Library::symbol(const std::string& name) const { return m_handle ? dlsym(m_handle, name.c_str()) : nullptr; }

}  // namespace sys
