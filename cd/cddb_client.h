#pragma once
// The CDDB look-up: the dialogue with a CDDB server (greeting, hello, query,
// read, quit) over a line connection, filling the disc record's titles.

#include <cstdint>
#include <string>

#include "cd/disc_record.h"
#include "net/line_connection.h"

namespace cd {

constexpr uint16_t kCddbPort = 8880;
// What we say in "cddb hello".
constexpr const char* kCddbClientName = "Razavo";
constexpr const char* kCddbClientVersion = "3.05";

enum class CddbResult {
  Found,    // the entry was read into the record
  NoMatch,  // the server knows no such disc (202)
  Failed,   // connect, timeout, cancel or an answer we cannot use
};

class CddbEvents {
 public:
  virtual ~CddbEvents() = default;
  virtual void connected(const std::string& host) {}
  // The server has no entry for the disc; the caller tells the user.
  virtual void noMatch() {}
  virtual bool cancelled() { return false; }
};

// The dialogue over an open connection. Titles stay as they were unless the
// entry was read.
CddbResult runCddbDialogue(net::LineConnection& connection, DiscRecord& disc, CddbEvents& events);
// Connects to host:port and runs the dialogue.
CddbResult lookUpDisc(const std::string& host, uint16_t port, DiscRecord& disc, CddbEvents& events);

// The leading decimal number of a reply line; -1 when there is none.
int cddbReplyCode(const std::string& line);

}  // namespace cd
