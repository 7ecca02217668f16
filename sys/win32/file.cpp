#include "sys/file.h"

#include <algorithm>

#include "sys/win32/wide_text.h"

namespace sys {

namespace {

// ReadFile and WriteFile take 32-bit counts; larger transfers go in pieces.
constexpr size_t kLargestTransfer = 1u << 30;

HANDLE asHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

DWORD shareFlags(Share share) {
  switch (share) {
    case Share::None: return 0;
    case Share::Read: return FILE_SHARE_READ;
    case Share::ReadWrite: return FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
  return 0;
}

DWORD creationFlags(Disposition disposition) {
  switch (disposition) {
    case Disposition::OpenExisting: return OPEN_EXISTING;
    case Disposition::CreateAlways: return CREATE_ALWAYS;
    case Disposition::OpenAlways: return OPEN_ALWAYS;
    case Disposition::CreateNew: return CREATE_NEW;
  }
  return OPEN_EXISTING;
}

}  // namespace

File::~File() { close(); }

File::File(File&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    m_handle = other.m_handle;
    other.m_handle = -1;
  }
  return *this;
}

File File::open(const std::string& path, Access access, Share share, Disposition disposition) {
  File file;
  if (path.empty()) return file;
  DWORD desired = GENERIC_READ | (access == Access::ReadWrite ? GENERIC_WRITE : 0);
  HANDLE handle = CreateFileW(win32::widen(path).c_str(), desired, shareFlags(share), nullptr,
                              creationFlags(disposition), FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) file.m_handle = reinterpret_cast<intptr_t>(handle);
  return file;
}

bool File::isOpen() const { return m_handle != -1; }

size_t File::read(void* data, size_t bytes) {
  if (!isOpen()) return 0;
  auto* cursor = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < bytes) {
    DWORD want = static_cast<DWORD>(std::min(bytes - done, kLargestTransfer));
    DWORD got = 0;
    if (!ReadFile(asHandle(m_handle), cursor + done, want, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

size_t File::write(const void* data, size_t bytes) {
  if (!isOpen()) return 0;
  const auto* cursor = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < bytes) {
    DWORD want = static_cast<DWORD>(std::min(bytes - done, kLargestTransfer));
    DWORD put = 0;
    if (!WriteFile(asHandle(m_handle), cursor + done, want, &put, nullptr) || put == 0) break;
    done += put;
  }
  return done;
}

bool File::seek(int64_t offset) {
  if (!isOpen() || offset < 0) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  return SetFilePointerEx(asHandle(m_handle), distance, nullptr, FILE_BEGIN) != 0;
}

int64_t File::tell() const {
  if (!isOpen()) return -1;
  LARGE_INTEGER zero{};
  LARGE_INTEGER position{};
  if (!SetFilePointerEx(asHandle(m_handle), zero, &position, FILE_CURRENT)) return -1;
  return position.QuadPart;
}

int64_t File::size() const {
  if (!isOpen()) return -1;
  LARGE_INTEGER bytes{};
  if (!GetFileSizeEx(asHandle(m_handle), &bytes)) return -1;
  return bytes.QuadPart;
}

bool File::truncateHere() { return isOpen() && SetEndOfFile(asHandle(m_handle)) != 0; }

bool File::flush() { return isOpen() && FlushFileBuffers(asHandle(m_handle)) != 0; }

void File::close() {
  if (isOpen()) CloseHandle(asHandle(m_handle));
  m_handle = -1;
}

}  // namespace sys
