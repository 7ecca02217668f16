#include "recorder/transmit/send_list.h"

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "sys/file.h"
#include "sys/folders.h"

namespace recorder {

namespace {

constexpr int kRetryStepMs = 50;

void putHeader(uint8_t* bytes, uint16_t counter) {
  const uint16_t version = kSendListVersion;
  const uint32_t recordBytes = kSendRecordBytes;
  bytes[0] = static_cast<uint8_t>(version);
  bytes[1] = static_cast<uint8_t>(version >> 8);
  bytes[2] = static_cast<uint8_t>(counter);
  bytes[3] = static_cast<uint8_t>(counter >> 8);
  for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(recordBytes >> (8 * i));
}

struct Header {
  uint16_t version = 0;
  uint16_t counter = 0;
  uint32_t recordBytes = 0;
};

Header parseHeader(const uint8_t* bytes) {
  Header header;
  header.version = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
  header.counter = static_cast<uint16_t>(bytes[2] | bytes[3] << 8);
  header.recordBytes = static_cast<uint32_t>(bytes[4]) | static_cast<uint32_t>(bytes[5]) << 8 |
                       static_cast<uint32_t>(bytes[6]) << 16 | static_cast<uint32_t>(bytes[7]) << 24;
  return header;
}

// Opens the list for this process alone, waiting while another holds it.
sys::File openList(const std::string& path, sys::Disposition disposition, int retryMs) {
  for (int waited = 0;; waited += kRetryStepMs) {
    sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, disposition);
    if (file.isOpen() || waited >= retryMs) return file;
    if (disposition == sys::Disposition::OpenExisting && !sys::fileExists(path)) return file;
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryStepMs));
  }
}

}  // namespace

SendList::SendList(std::string path, int retryMs) : m_path(std::move(path)), m_retryMs(retryMs) {}

SendListStart SendList::checkAtStart() {
  sys::LockGuard guard(m_lock);
  if (!sys::fileExists(m_path)) return SendListStart::Missing;
  bool keep = false;
  {
    sys::File file = openList(m_path, sys::Disposition::OpenExisting, m_retryMs);
    if (!file.isOpen()) return SendListStart::Kept;  // held by someone: leave it alone
    uint8_t bytes[kSendHeaderBytes] = {};
    if (file.read(bytes, sizeof bytes) == sizeof bytes) {
      const Header header = parseHeader(bytes);
      if (header.version == kSendListVersion && header.recordBytes == kSendRecordBytes && header.counter < 2) {
        putHeader(bytes, static_cast<uint16_t>(header.counter + 1));
        keep = file.seek(0) && file.write(bytes, sizeof bytes) == sizeof bytes;
      }
    }
  }
  if (keep) return SendListStart::Kept;
  sys::deleteFile(m_path);
  return SendListStart::Dropped;
}

bool SendList::append(const std::string& recording) {
  // A path that does not fit would name another file once cut.
  if (recording.empty() || recording.size() >= kSendRecordBytes || recording.find('\0') != std::string::npos)
    return false;
  sys::LockGuard guard(m_lock);
  sys::File file = openList(m_path, sys::Disposition::OpenAlways, m_retryMs);
  if (!file.isOpen()) return false;
  int64_t size = file.size();
  if (size < static_cast<int64_t>(kSendHeaderBytes)) {
    uint8_t header[kSendHeaderBytes];
    putHeader(header, 0);
    if (!file.seek(0) || file.write(header, sizeof header) != sizeof header) return false;
    size = kSendHeaderBytes;
  }
  // A record cut short by an earlier failure is overwritten.
  const int64_t whole = kSendHeaderBytes + (size - kSendHeaderBytes) / kSendRecordBytes * kSendRecordBytes;
  std::vector<uint8_t> record(kSendRecordBytes, 0);
  std::memcpy(record.data(), recording.data(), recording.size());
  if (!file.seek(whole) || file.write(record.data(), record.size()) != record.size()) return false;
  return file.truncateHere() && file.flush();
}

std::optional<std::string> SendList::first() {
  sys::LockGuard guard(m_lock);
  bool held = false;
  {
    sys::File file = openList(m_path, sys::Disposition::OpenExisting, m_retryMs);
    if (!file.isOpen()) return std::nullopt;
    held = file.size() > 0;
    std::vector<char> record(kSendRecordBytes, 0);
    if (file.seek(kSendHeaderBytes) && file.read(record.data(), record.size()) == record.size()) {
      record.back() = '\0';
      std::string path(record.data());
      if (!path.empty()) return path;
    }
  }
  if (held) sys::deleteFile(m_path);
  return std::nullopt;
}

bool SendList::dropFirst() {
  sys::LockGuard guard(m_lock);
  std::vector<uint8_t> rest;
  {
    sys::File file = openList(m_path, sys::Disposition::OpenExisting, m_retryMs);
    if (!file.isOpen()) return false;
    const int64_t size = file.size();
    const int64_t from = kSendHeaderBytes + kSendRecordBytes;
    if (size > from) {
      const int64_t records = (size - from) / kSendRecordBytes;
      rest.resize(static_cast<size_t>(records * kSendRecordBytes));
      if (!file.seek(from) || file.read(rest.data(), rest.size()) != rest.size()) return false;
    }
  }
  std::vector<uint8_t> bytes(kSendHeaderBytes);
  putHeader(bytes.data(), 0);
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  const std::string beside = sys::createFileBeside(m_path);
  if (beside.empty()) return false;
  bool written = false;
  {
    sys::File file = sys::File::open(beside, sys::Access::ReadWrite, sys::Share::None,
                                     sys::Disposition::OpenExisting);
    written = file.isOpen() && file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush();
  }
  if (written && sys::replaceFile(beside, m_path)) return true;
  sys::deleteFile(beside);
  return false;
}

}  // namespace recorder
