#include "sys/tcp_socket.h"
#include "sys/tcp_address.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace sys {

namespace {

SocketWait waitFor(intptr_t socket, short events, int milliseconds) {
  pollfd entry{static_cast<int>(socket), events, 0};
  int ready = ::poll(&entry, 1, milliseconds);
  if (ready < 0) return errno == EINTR ? SocketWait::TimedOut : SocketWait::Failed;
  if (ready == 0) return SocketWait::TimedOut;
  // An error or hang-up is reported as ready: the next transfer tells what it is.
  return SocketWait::Ready;
}

}  // namespace

bool TcpSocket::startConnect(const std::string& host, uint16_t port) {
  close();
  m_failed = false;
  sockaddr_in address{};
  if (!resolve(host, port, address)) return false;
  int handle = ::socket(AF_INET, SOCK_STREAM, 0);
  if (handle < 0) return false;
  m_socket = handle;
  ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) | O_NONBLOCK);
  if (::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
  if (errno == EINPROGRESS) return true;
  close();
  return false;
}

bool TcpSocket::connected() const {
  if (m_socket == kNoSocket) return false;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(static_cast<int>(m_socket), SOL_SOCKET, SO_ERROR, &error, &length) != 0) return false;
  return error == 0;
}

SocketWait TcpSocket::waitWritable(int milliseconds) {
  if (m_socket == kNoSocket) return SocketWait::Failed;
  return waitFor(m_socket, POLLOUT, milliseconds);
}

SocketWait TcpSocket::waitReadable(int milliseconds) {
  if (m_socket == kNoSocket) return SocketWait::Failed;
  return waitFor(m_socket, POLLIN, milliseconds);
}

long TcpSocket::send(const void* data, size_t bytes) {
  if (m_socket == kNoSocket) return -1;
  ssize_t sent = ::send(static_cast<int>(m_socket), data, bytes, MSG_NOSIGNAL);
  if (sent >= 0) return static_cast<long>(sent);
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
  m_failed = true;
  return -1;
}

long TcpSocket::receive(void* data, size_t bytes) {
  if (m_socket == kNoSocket) return -1;
  ssize_t received = ::recv(static_cast<int>(m_socket), data, bytes, 0);
  if (received >= 0) return static_cast<long>(received);
  if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) m_failed = true;
  return -1;
}

void TcpSocket::close() {
  if (m_socket != kNoSocket) ::close(static_cast<int>(m_socket));
  m_socket = kNoSocket;
}

}  // namespace sys
