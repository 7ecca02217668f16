// TCP connections over Winsock, with SChannel for STARTTLS.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wincrypt.h>

#include <memory>
#include <mutex>
#include <optional>

#include "mail/system_mail.h"
#include "mail/win32/schannel_session.h"
#include "mail/win32/socket_io.h"
#include "sys/file.h"

namespace mail {
namespace {

using win32::Clock;

Clock::time_point deadlineIn(int milliseconds) { return Clock::now() + std::chrono::milliseconds(milliseconds); }

bool winsockReady() {
  static bool ready = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

// The DER bytes of the first certificate of a PEM file.
std::vector<BYTE> pemCertificate(const std::string& path) {
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return {};
  std::string text(size_t(file.size()), '\0');
  if (file.read(text.data(), text.size()) != text.size()) return {};
  DWORD size = 0;
  if (!CryptStringToBinaryA(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                            nullptr))
    return {};
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                            nullptr))
    return {};
  der.resize(size);
  return der;
}

class WinsockStream : public MailStream {
 public:
  WinsockStream(SOCKET socket, const CancelToken& cancel, std::vector<BYTE> pinned)
      : m_socket(socket, cancel), m_pinned(std::move(pinned)) {}

  IoStatus send(const char* data, size_t bytes, int timeoutMs) override {
    if (m_tls) return m_tls->send(data, bytes, deadlineIn(timeoutMs));
    return m_socket.sendAll(data, bytes, deadlineIn(timeoutMs));
  }
  IoStatus receive(char* data, size_t capacity, size_t& received, int timeoutMs) override {
    if (m_tls) return m_tls->receive(data, capacity, received, deadlineIn(timeoutMs));
    return m_socket.receiveSome(data, capacity, received, deadlineIn(timeoutMs));
  }
  IoStatus startTls(const std::string& serverName) override {
    auto session = std::make_unique<win32::SchannelSession>(m_socket);
    IoStatus status = session->handshake(serverName, m_pinned, deadlineIn(20000));
    if (status == IoStatus::Done) m_tls = std::move(session);
    return status;
  }
  bool encrypted() const override { return m_tls != nullptr; }

 private:
  win32::SocketIo m_socket;
  std::vector<BYTE> m_pinned;
  std::unique_ptr<win32::SchannelSession> m_tls;
};

class WinsockConnector : public MailConnector {
 public:
  explicit WinsockConnector(TlsOptions tls) : m_tls(std::move(tls)) {}

  ConnectResult connect(const std::string& host, int port, int timeoutMs, const CancelToken& cancel) override {
    if (!winsockReady()) return {};
    Clock::time_point deadline = deadlineIn(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* addresses = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0) return {};
    ConnectResult result;
    for (addrinfo* address = addresses; address && result.status != IoStatus::Done; address = address->ai_next) {
      SOCKET socket = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
      if (socket == INVALID_SOCKET) continue;
      u_long nonBlocking = 1;
      ioctlsocket(socket, FIONBIO, &nonBlocking);
      IoStatus status = IoStatus::Done;
      if (::connect(socket, address->ai_addr, int(address->ai_addrlen)) == SOCKET_ERROR)
        status = WSAGetLastError() == WSAEWOULDBLOCK ? win32::SocketIo::waitFor(socket, true, deadline, cancel)
                                                     : IoStatus::Failed;
      if (status == IoStatus::Done) {
        int error = 0;
        int length = sizeof error;
        if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 || error != 0)
          status = IoStatus::Failed;
      }
      if (status == IoStatus::Done) {
        result.status = IoStatus::Done;
        result.stream = std::make_unique<WinsockStream>(
            socket, cancel,
            m_tls.extraTrustedCertificateFile.empty() ? std::vector<BYTE>() : pemCertificate(m_tls.extraTrustedCertificateFile));
      } else {
        closesocket(socket);
        result.status = status;
        if (status == IoStatus::Cancelled || status == IoStatus::TimedOut) break;
      }
    }
    freeaddrinfo(addresses);
    return result;
  }

 private:
  TlsOptions m_tls;
};

}  // namespace

std::unique_ptr<MailConnector> makeSystemConnector(const TlsOptions& tls) {
  return std::make_unique<WinsockConnector>(tls);
}

std::string localHostName() {
  char name[256] = {};
  if (!winsockReady() || gethostname(name, sizeof name - 1) != 0 || !name[0]) return "localhost";
  return name;
}

}  // namespace mail
