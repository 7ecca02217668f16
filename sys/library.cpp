#include "sys/library.h"

#include <utility>

namespace sys {

Library::~Library() {
  if (m_handle) unload(m_handle);
}

Library::Library(Library&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}

Library& Library::operator=(Library&& other) noexcept {
  if (this != &other) {
    if (m_handle) unload(m_handle);
    m_handle = std::exchange(other.m_handle, nullptr);
  }
  return *this;
}

}  // namespace sys
