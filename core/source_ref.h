#pragma once
// Shared ownership of sources and sinks: each SourceRef holds one use; the
// last one released destroys the object, which for a sink is its commit.

#include <cstdint>
#include <utility>

class Counted {
 public:
  virtual ~Counted() = default;

 protected:
  Counted() = default;

 private:
  template <class T>
  friend class SourceRef;
  uint32_t m_useCount = 0;
};

template <class T>
class SourceRef {
 public:
  SourceRef() = default;
  explicit SourceRef(T* object) : m_object(object) { retain(); }
  SourceRef(const SourceRef& other) : m_object(other.m_object) { retain(); }
  SourceRef(SourceRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  template <class U>
  SourceRef(const SourceRef<U>& other) : m_object(other.get()) { retain(); }
  ~SourceRef() { reset(); }

  SourceRef& operator=(SourceRef other) noexcept {
    std::swap(m_object, other.m_object);
    return *this;
  }

  void reset() {
    if (m_object && --static_cast<Counted*>(m_object)->m_useCount == 0) delete m_object;
    m_object = nullptr;
  }

  T* get() const { return m_object; }
  T* operator->() const { return m_object; }
  T& operator*() const { return *m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  uint32_t useCount() const { return m_object ? static_cast<Counted*>(m_object)->m_useCount : 0; }

 private:
  void retain() {
    if (m_object) ++static_cast<Counted*>(m_object)->m_useCount;
  }
  T* m_object = nullptr;
};

template <class T, class... Args>
SourceRef<T> makeRef(Args&&... args) {
  return SourceRef<T>(new T(std::forward<Args>(args)...));
}
