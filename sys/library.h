#pragma once
// A code library of another vendor, loaded at run time.

#include <string>

namespace sys {

class Library {
 public:
  Library() = default;
  ~Library();  // unloads it
  Library(Library&& other) noexcept;
  Library& operator=(Library&& other) noexcept;
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // A full path is loaded from there (its own folder serves its
  // dependencies); a bare name only from the program's folder and the
  // system's folders, never the current folder, which a file dialog may have
  // moved anywhere. Unloaded on failure.
  static Library load(const std::string& nameOrPath);
  bool loaded() const { return m_handle != nullptr; }
  // The address of an exported name; null when it is missing.
  void* symbol(const std::string& name) const;

 private:
  static void unload(void* handle);  // of the platform
  void* m_handle = nullptr;
};

}  // namespace sys
