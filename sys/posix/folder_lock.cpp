#include "sys/folder_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sys/folders.h"

namespace sys {

namespace {
constexpr const char* kLockName = "session.lock";
}

struct FolderLock::State {
  int fd = -1;
  std::string path;
};

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() { release(); }
FolderLock::FolderLock(FolderLock&&) noexcept = default;
FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    release();
    m_state = std::move(other.m_state);
  }
  return *this;
}

bool FolderLock::take(const std::string& folder) {
  release();
  std::string path = joinPath(folder, kLockName);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // Open-file-description locks, so a second FolderLock in the same process
  // is refused just as another process would be.
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  if (fcntl(fd, F_OFD_SETLK, &whole) != 0) {
    ::close(fd);
    return false;
  }
  // A holder lets go by deleting the file, then unlocking it. Opened just
  // before that delete, this lock is on a file that no longer has the name,
  // and a third taker could create and lock a new one: held only when the
  // name still leads to the file locked here.
  struct stat locked {}, named {};
  if (fstat(fd, &locked) != 0 || stat(path.c_str(), &named) != 0 || locked.st_dev != named.st_dev ||
      locked.st_ino != named.st_ino) {
    ::close(fd);
    return false;
  }
  m_state = std::make_unique<State>();
  m_state->fd = fd;
  m_state->path = path;
  return true;
}

void FolderLock::release() {
  if (!m_state) return;
  unlink(m_state->path.c_str());
  ::close(m_state->fd);
  m_state.reset();
}

bool FolderLock::held() const { return m_state != nullptr; }

}  // namespace sys
