// The parts of TcpSocket that do not touch the platform's sockets.
#include "sys/tcp_socket.h"

namespace sys {

TcpSocket::~TcpSocket() { close(); }

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : m_socket(other.m_socket), m_failed(other.m_failed) {
  other.m_socket = kNoSocket;
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    close();
    m_socket = other.m_socket;
    m_failed = other.m_failed;
    other.m_socket = kNoSocket;
  }
  return *this;
}

}  // namespace sys
