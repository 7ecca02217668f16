#pragma once
// A code library of another vendor, loaded at run time.

#include <memory>
#include <string>

namespace sys {

class Library {
 public:
  Library();
  ~Library();  // unloads it
  Library(Library&&) noexcept;
  Library& operator=(Library&&) noexcept;

  // A full path is loaded from there (its own folder serves its
  // dependencies); a bare name only from the program's folder and the
  // system's folders, never the current folder, which a file dialog may have
  // moved anywhere. Unloaded on failure.
  static Library load(const std::string& nameOrPath);
  bool loaded() const;
  // The address of an exported name; null when it is missing.
  void* symbol(const std::string& name) const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace sys
