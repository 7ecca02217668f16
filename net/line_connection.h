#pragma once
// A text conversation over a stream, one line at a time: what the CDDB
// look-up (and any other line-based protocol) talks through. The programs
// use a TCP socket, tests may use a script.

#include <cstddef>
#include <string>

namespace net {

class LineConnection {
 public:
  // Longer lines are cut: the rest of the line is read and dropped.
  static constexpr size_t kMaxLineChars = 259;

  virtual ~LineConnection() = default;
  // Sends all of text; false on failure, timeout or cancel.
  virtual bool sendText(const std::string& text) = 0;
  // The next line without "\r" and "\n"; false on failure, timeout, cancel
  // or when the peer closed the connection before the line ended.
  virtual bool readLine(std::string& line) = 0;
};

}  // namespace net
