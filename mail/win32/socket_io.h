#pragma once
// A connected, non-blocking Winsock socket whose waits end on a deadline or
// a cancel.

#include <winsock2.h>

#include <chrono>
#include <cstddef>

#include "mail/mail_stream.h"

namespace mail::win32 {

using Clock = std::chrono::steady_clock;

class SocketIo {
 public:
  SocketIo(SOCKET socket, const CancelToken& cancel) : m_socket(socket), m_cancel(cancel) {}
  ~SocketIo();
  SocketIo(const SocketIo&) = delete;
  SocketIo& operator=(const SocketIo&) = delete;

  IoStatus sendAll(const char* data, size_t bytes, Clock::time_point deadline);
  IoStatus receiveSome(char* data, size_t capacity, size_t& received, Clock::time_point deadline);
  const CancelToken& cancel() const { return m_cancel; }

  // Waits until socket is writable (or, with forWrite false, readable).
  static IoStatus waitFor(SOCKET socket, bool forWrite, Clock::time_point deadline, const CancelToken& cancel);

 private:
  SOCKET m_socket;
  const CancelToken& m_cancel;
};

}  // namespace mail::win32
