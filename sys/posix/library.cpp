// Vendor libraries elsewhere: dlopen. The vendors' libraries exist only for
// Windows, so this serves the tests of the paths that find none.

#include "sys/library.h"

#include <dlfcn.h>

namespace sys {

struct Library::State {
  void* handle = nullptr;
  ~State() {
    if (handle) dlclose(handle);
  }
};

Library::Library() : m_state(std::make_unique<State>()) {}
Library::~Library() = default;
Library::Library(Library&&) noexcept = default;
Library& Library::operator=(Library&&) noexcept = default;

Library Library::load(const std::string& nameOrPath) {
  Library library;
  if (!nameOrPath.empty()) library.m_state->handle = dlopen(nameOrPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  return library;
}

bool Library::loaded() const { return m_state && m_state->handle; }

void* Library::symbol(const std::string& name) const { return loaded() ? dlsym(m_state->handle, name.c_str()) : nullptr; }

}  // namespace sys
