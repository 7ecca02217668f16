#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <iterator>
#include <cstring>

#include "cd/scsi_commands.h"
#include "cd/win32/system_cd_drives.h"
#include "sys/win32/owned_handle.h"

namespace cd {

namespace {

constexpr ULONG kCommandTimeoutSeconds = 200;
constexpr UCHAR kSenseBytes = 14;
constexpr DWORD kNotReadyRetryMs = 500;
constexpr DWORD kWaitStepMs = 50;
constexpr UCHAR kSenseKeyNotReady = 0x02;
constexpr UCHAR kCheckCondition = 0x02;

struct PassThroughRequest {
  SCSI_PASS_THROUGH_DIRECT command;
  ULONG filler;  // keeps the sense data aligned
  UCHAR sense[32];
};

template <size_t N>
void prepare(PassThroughRequest& request, const std::array<uint8_t, N>& block, void* data, ULONG bytes) {
  std::memset(&request, 0, sizeof request);
  request.command.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
  request.command.CdbLength = static_cast<UCHAR>(N);
  request.command.DataIn = SCSI_IOCTL_DATA_IN;
  request.command.DataTransferLength = bytes;
  request.command.TimeOutValue = kCommandTimeoutSeconds;
  request.command.DataBuffer = data;
  request.command.SenseInfoOffset = offsetof(PassThroughRequest, sense);
  request.command.SenseInfoLength = kSenseBytes;
  std::memcpy(request.command.Cdb, block.data(), N);
}

bool notReady(const PassThroughRequest& request) {
  return request.command.ScsiStatus == kCheckCondition && (request.sense[2] & 0x0F) == kSenseKeyNotReady;
}

class ScsiPassThroughDrive : public CdDrive {
 public:
  ScsiPassThroughDrive(sys::win32::OwnedHandle device, std::string name)
      : m_device(std::move(device)), m_name(std::move(name)), m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~ScsiPassThroughDrive() override { abandonRead(); }

  std::string name() const override { return m_name; }

  bool readTableOfContents(TableOfContents& toc) override {
    std::vector<uint8_t> reply(kReadTocAllocationBytes);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadTocTimeoutMs);
    for (;;) {
      PassThroughRequest request;
      prepare(request, readTocCommand(), reply.data(), static_cast<ULONG>(reply.size()));
      DWORD returned = 0;
      BOOL ok = DeviceIoControl(m_device.get(), IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof request, &request,
                                sizeof request, &returned, nullptr);
      if (ok && request.command.ScsiStatus == 0)
        return parseTocReply(reply.data(), std::min<size_t>(request.command.DataTransferLength, reply.size()), toc);
      if (!ok || !notReady(request) || std::chrono::steady_clock::now() >= deadline) return false;
      Sleep(kNotReadyRetryMs);
    }
  }

  bool startRead(int32_t first, int32_t count, uint8_t* destination) override {
    if (m_pending || !m_done.get() || count <= 0) return false;
    m_first = first;
    m_count = count;
    m_destination = destination;
    return issue();
  }

  ReadWait waitRead(uint32_t timeoutMs, ReadWaiter& waiter) override {
    if (!m_pending) return ReadWait::Failed;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      while (WaitForSingleObject(m_done.get(), kWaitStepMs) == WAIT_TIMEOUT) {
        if (waiter.cancelled()) {
          abandonRead();
          return ReadWait::Cancelled;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
          abandonRead();
          return ReadWait::Failed;
        }
      }
      DWORD returned = 0;
      BOOL ok = GetOverlappedResult(m_device.get(), &m_overlapped, &returned, FALSE);
      m_pending = false;
      if (ok && m_request.command.ScsiStatus == 0 &&
          m_request.command.DataTransferLength == static_cast<ULONG>(m_count) * kSectorBytes)
        return ReadWait::Done;
      // A drive that is spinning up says "not ready": ask again shortly.
      if (!ok || !notReady(m_request) || std::chrono::steady_clock::now() >= deadline) return ReadWait::Failed;
      Sleep(kNotReadyRetryMs);
      if (!issue()) return ReadWait::Failed;
    }
  }

  void abandonRead() override {
    if (!m_pending) return;
    CancelIo(m_device.get());
    DWORD returned = 0;
    GetOverlappedResult(m_device.get(), &m_overlapped, &returned, TRUE);
    m_pending = false;
  }

 private:
  bool issue() {
    prepare(m_request, readCdCommand(m_first, m_count), m_destination, static_cast<ULONG>(m_count) * kSectorBytes);
    std::memset(&m_overlapped, 0, sizeof m_overlapped);
    ResetEvent(m_done.get());
    m_overlapped.hEvent = m_done.get();
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(m_device.get(), IOCTL_SCSI_PASS_THROUGH_DIRECT, &m_request, sizeof m_request,
                              &m_request, sizeof m_request, &returned, &m_overlapped);
    if (!ok && GetLastError() != ERROR_IO_PENDING) return false;
    if (ok) SetEvent(m_done.get());
    m_pending = true;
    return true;
  }

  sys::win32::OwnedHandle m_device;
  std::string m_name;
  sys::win32::OwnedHandle m_done;
  PassThroughRequest m_request{};
  OVERLAPPED m_overlapped{};
  bool m_pending = false;
  int32_t m_first = 0;
  int32_t m_count = 0;
  uint8_t* m_destination = nullptr;
};

}  // namespace

std::vector<std::string> findCdRomDrives() {
  std::vector<std::string> roots;
  wchar_t strings[512] = {};
  DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(strings) - 1), strings);
  if (length == 0 || length >= std::size(strings)) return roots;
  for (const wchar_t* root = strings; *root; root += wcslen(root) + 1) {
    if (GetDriveTypeW(root) != DRIVE_CDROM) continue;
    // "D:\" is opened as "\\.\D:".
    roots.push_back(std::string(1, static_cast<char>(root[0])) + ":");
  }
  return roots;
}

std::unique_ptr<CdDrive> openCdRomDrive(const std::string& root, const std::string& name) {
  std::wstring path = L"\\\\.\\" + std::wstring(root.begin(), root.end());
  HANDLE device = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (device == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<ScsiPassThroughDrive>(sys::win32::OwnedHandle(device), name);
}

}  // namespace cd
