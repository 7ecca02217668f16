#pragma once
// COM helpers of the Windows code: an owning interface pointer and the
// apartment a thread joins for the time it uses COM.

#include <objbase.h>

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

class ComApartment {
 public:
  ComApartment() : m_joined(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (m_joined) CoUninitialize();
  }

 private:
  bool m_joined;
};

}  // namespace sys::win32
