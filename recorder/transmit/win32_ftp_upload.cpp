#include "recorder/transmit/ftp_upload.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "sys/file.h"
#include "sys/folders.h"
#include "sys/win32/wide_text.h"

namespace recorder {

namespace {

constexpr const wchar_t* kAgent = L"ZAVEVUZ";
constexpr size_t kPieceBytes = 64 * 1024;
constexpr DWORD kNetworkTimeoutMs = 30000;

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle = nullptr) : m_handle(handle) {}
  ~InternetHandle() { close(); }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  // The transfer of a file being written completes at its close.
  bool close() {
    bool closed = !m_handle || InternetCloseHandle(m_handle);
    m_handle = nullptr;
    return closed;
  }

 private:
  HINTERNET m_handle;
};

void splitServer(const std::string& server, std::string& host, INTERNET_PORT& port) {
  host = server;
  port = INTERNET_DEFAULT_FTP_PORT;
  const size_t colon = server.rfind(':');
  if (colon == std::string::npos || server.find(':') != colon) return;  // an IPv6 address keeps its colons
  const std::string digits = server.substr(colon + 1);
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return;
  const unsigned long value = std::stoul(digits);
  if (value == 0 || value > 65535) return;
  host = server.substr(0, colon);
  port = static_cast<INTERNET_PORT>(value);
}

}  // namespace

JobResult uploadToFtp(const std::string& recording, const FtpTarget& target, sys::Event& cancel) {
  using sys::win32::widen;
  sys::File local = sys::File::open(recording, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!local.isOpen() || target.server.empty()) return JobResult::Failed;
  // Offline: let the system dial its default connection (it hangs up when
  // the session ends).
  InternetAttemptConnect(0);
  InternetHandle session(InternetOpenW(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) return JobResult::Failed;
  DWORD timeout = kNetworkTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(session.get(), option, &timeout, sizeof timeout);
  std::string host;
  INTERNET_PORT port = INTERNET_DEFAULT_FTP_PORT;
  splitServer(target.server, host, port);
  if (cancel.wait(0)) return JobResult::Cancelled;
  InternetHandle connection(InternetConnectW(session.get(), widen(host).c_str(), port,
                                             widen(target.userName).c_str(), widen(target.password).c_str(),
                                             INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
  if (!connection) return cancel.wait(0) ? JobResult::Cancelled : JobResult::Failed;
  if (!target.directory.empty() && !FtpSetCurrentDirectoryW(connection.get(), widen(target.directory).c_str()))
    return JobResult::Failed;
  InternetHandle remote(FtpOpenFileW(connection.get(), widen(sys::fileNameOf(recording)).c_str(), GENERIC_WRITE,
                                     FTP_TRANSFER_TYPE_BINARY, 0));
  if (!remote) return JobResult::Failed;
  std::vector<char> piece(kPieceBytes);
  while (true) {
    if (cancel.wait(0)) return JobResult::Cancelled;
    const size_t got = local.read(piece.data(), piece.size());
    if (got == 0) break;
    DWORD written = 0;
    if (!InternetWriteFile(remote.get(), piece.data(), static_cast<DWORD>(got), &written) || written != got)
      return JobResult::Failed;
  }
  return remote.close() ? JobResult::Done : JobResult::Failed;
}

}  // namespace recorder
