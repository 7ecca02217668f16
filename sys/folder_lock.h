#pragma once
// An exclusive hold on a folder by this process, through a lock file inside it.
// A second process trying to take the same folder fails until the holder lets go
// (or ends, in which case the platform releases the lock).

#include <memory>
#include <string>

namespace sys {

class FolderLock {
 public:
  FolderLock();
  ~FolderLock();
  FolderLock(FolderLock&&) noexcept;
  FolderLock& operator=(FolderLock&&) noexcept;

  // False when another holder has the folder or the lock file cannot be made.
  bool take(const std::string& folder);
  // Lets go and deletes the lock file.
  void release();
  bool held() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace sys
