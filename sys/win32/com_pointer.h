#pragma once
// Owns one reference to a COM object.

#include <windows.h>

namespace sys::win32 {

template <class T>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() { reset(); }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ComPointer(ComPointer&& other) noexcept : m_pointer(other.m_pointer) { other.m_pointer = nullptr; }
  T* get() const { return m_pointer; }
  T* operator->() const { return m_pointer; }
  T** out() {
    reset();
    return &m_pointer;
  }
  void** outVoid() { return reinterpret_cast<void**>(out()); }
  explicit operator bool() const { return m_pointer != nullptr; }
  void reset() {
    if (m_pointer) m_pointer->Release();
    m_pointer = nullptr;
  }

 private:
  T* m_pointer = nullptr;
};

}  // namespace sys::win32
