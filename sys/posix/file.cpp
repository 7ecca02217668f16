// Files on POSIX. Share modes are not enforced here; the Windows build is the
// product and enforces them.

#include "sys/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace sys {

File::~File() { close(); }

File::File(File&& other) noexcept : m_handle(std::exchange(other.m_handle, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    m_handle = std::exchange(other.m_handle, -1);
  }
  return *this;
}

File File::open(const std::string& path, Access access, Share, Disposition disposition) {
  int flags = access == Access::Read ? O_RDONLY : O_RDWR;
  if (disposition == Disposition::CreateAlways) flags |= O_CREAT | O_TRUNC;
  if (disposition == Disposition::OpenAlways) flags |= O_CREAT;
  if (disposition == Disposition::CreateNew) flags |= O_CREAT | O_EXCL;
  File file;
  if (path.empty()) return file;
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd >= 0) {
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(fd);
      fd = -1;
    }
  }
  file.m_handle = fd;
  return file;
}

bool File::isOpen() const { return m_handle >= 0; }

size_t File::read(void* data, size_t bytes) {
  if (m_handle < 0) return 0;
  size_t done = 0;
  while (done < bytes) {
    ssize_t got = ::read(static_cast<int>(m_handle), static_cast<char*>(data) + done, bytes - done);
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t File::write(const void* data, size_t bytes) {
  if (m_handle < 0) return 0;
  size_t done = 0;
  while (done < bytes) {
    ssize_t put = ::write(static_cast<int>(m_handle), static_cast<const char*>(data) + done, bytes - done);
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  return done;
}

bool File::seek(int64_t offset) {
  return m_handle >= 0 && offset >= 0 && ::lseek(static_cast<int>(m_handle), offset, SEEK_SET) == offset;
}

int64_t File::tell() const {
  return m_handle >= 0 ? ::lseek(static_cast<int>(m_handle), 0, SEEK_CUR) : -1;
}

int64_t File::size() const {
  struct stat info {};
  if (m_handle < 0 || fstat(static_cast<int>(m_handle), &info) != 0) return -1;
  return info.st_size;
}

bool File::truncateHere() {
  int64_t here = tell();
  return here >= 0 && ::ftruncate(static_cast<int>(m_handle), here) == 0;
}

bool File::flush() { return m_handle >= 0 && ::fsync(static_cast<int>(m_handle)) == 0; }

void File::close() {
  if (m_handle >= 0) ::close(static_cast<int>(m_handle));
  m_handle = -1;
}

}  // namespace sys
