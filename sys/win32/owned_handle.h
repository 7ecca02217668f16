#pragma once
// Owners of kernel handles and registry keys, for the system layer and the
// window library above it.

#include <windows.h>

namespace sys::win32 {

// Owns a kernel handle; both null and INVALID_HANDLE_VALUE count as none.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : m_handle(handle) {}
  ~OwnedHandle() { reset(); }
  OwnedHandle(OwnedHandle&& other) noexcept : m_handle(other.release()) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  HANDLE get() const { return m_handle; }
  bool valid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return valid(); }
  HANDLE release() {
    HANDLE handle = m_handle;
    m_handle = nullptr;
    return handle;
  }
  void reset(HANDLE handle = nullptr) {
    if (valid()) CloseHandle(m_handle);
    m_handle = handle;
  }

 private:
  HANDLE m_handle = nullptr;
};

// Owns an open registry key.
class OwnedKey {
 public:
  OwnedKey() = default;
  ~OwnedKey() {
    if (m_key) RegCloseKey(m_key);
  }
  OwnedKey(const OwnedKey&) = delete;
  OwnedKey& operator=(const OwnedKey&) = delete;
  HKEY get() const { return m_key; }
  HKEY* receive() { return &m_key; }
  explicit operator bool() const { return m_key != nullptr; }

 private:
  HKEY m_key = nullptr;
};

}  // namespace sys::win32
