#include "sys/tcp_socket.h"
#include "sys/tcp_address.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <mutex>

namespace sys {

namespace {

// Winsock is started once per process and left running until it ends.
bool startWinsock() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    WSADATA data{};
    started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  });
  return started;
}

SOCKET handleOf(intptr_t socket) { return static_cast<SOCKET>(socket); }

SocketWait waitFor(intptr_t socket, bool forWriting, int milliseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(handleOf(socket), &set);
  fd_set errors;
  FD_ZERO(&errors);
  FD_SET(handleOf(socket), &errors);
  timeval limit{milliseconds / 1000, (milliseconds % 1000) * 1000};
  int ready = ::select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, &errors, &limit);
  if (ready == SOCKET_ERROR) return SocketWait::Failed;
  if (ready == 0) return SocketWait::TimedOut;
  // A failed connect shows in the error set: the caller's connected() tells.
  return SocketWait::Ready;
}

}  // namespace

bool TcpSocket::startConnect(const std::string& host, uint16_t port) {
  close();
  m_failed = false;
  if (!startWinsock()) return false;
  sockaddr_in address{};
  if (!resolve(host, port, address)) return false;
  SOCKET handle = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (handle == INVALID_SOCKET) return false;
  m_socket = static_cast<intptr_t>(handle);
  u_long nonBlocking = 1;
  ::ioctlsocket(handle, FIONBIO, &nonBlocking);
  if (::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
  if (WSAGetLastError() == WSAEWOULDBLOCK) return true;
  close();
  return false;
}

bool TcpSocket::connected() const {
  if (m_socket == kNoSocket) return false;
  int error = 0;
  int length = sizeof error;
  if (::getsockopt(handleOf(m_socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
    return false;
  return error == 0;
}

SocketWait TcpSocket::waitWritable(int milliseconds) {
  if (m_socket == kNoSocket) return SocketWait::Failed;
  return waitFor(m_socket, true, milliseconds);
}

SocketWait TcpSocket::waitReadable(int milliseconds) {
  if (m_socket == kNoSocket) return SocketWait::Failed;
  return waitFor(m_socket, false, milliseconds);
}

long TcpSocket::send(const void* data, size_t bytes) {
  if (m_socket == kNoSocket) return -1;
  int sent = ::send(handleOf(m_socket), static_cast<const char*>(data), static_cast<int>(bytes), 0);
  if (sent != SOCKET_ERROR) return sent;
  if (WSAGetLastError() == WSAEWOULDBLOCK) return 0;
  m_failed = true;
  return -1;
}

long TcpSocket::receive(void* data, size_t bytes) {
  if (m_socket == kNoSocket) return -1;
  int received = ::recv(handleOf(m_socket), static_cast<char*>(data), static_cast<int>(bytes), 0);
  if (received != SOCKET_ERROR) return received;
  if (WSAGetLastError() != WSAEWOULDBLOCK) m_failed = true;
  return -1;
}

void TcpSocket::close() {
  if (m_socket != kNoSocket) ::closesocket(handleOf(m_socket));
  m_socket = kNoSocket;
}

}  // namespace sys
