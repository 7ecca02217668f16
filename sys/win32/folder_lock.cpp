#include "sys/folder_lock.h"

#include "sys/folders.h"
#include "sys/win32/wide_text.h"

namespace sys {

namespace {
constexpr const char* kLockFileName = "session.lock";
}

struct FolderLock::State {
  win32::OwnedHandle lockFile;
};

FolderLock::FolderLock() : m_state(std::make_unique<State>()) {}
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
  if (!m_state) m_state = std::make_unique<State>();
  if (folder.empty()) return false;
  // No sharing: a second open of the file, from any process, fails while we
  // hold it. The system deletes the file when the last handle goes, so a
  // holder that dies leaves nothing behind.
  HANDLE handle = CreateFileW(win32::widen(joinPath(folder, kLockFileName)).c_str(),
                              GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  m_state->lockFile.reset(handle);
  return true;
}

void FolderLock::release() {
  if (m_state) m_state->lockFile.reset();
}

bool FolderLock::held() const { return m_state && m_state->lockFile.valid(); }

}  // namespace sys
