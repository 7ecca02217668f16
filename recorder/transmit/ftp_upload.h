#pragma once
// Uploading a recording to an FTP server (Windows: the system's Internet
// functions), in passive mode, into the login folder or a given folder.

#include <string>

#include "core/source_status.h"
#include "sys/threads.h"

namespace recorder {

struct FtpTarget {
  std::string server;  // a host name or address, with ":port" when not 21
  std::string userName;
  std::string password;
  std::string directory;  // empty: the login folder
};

// Done, Cancelled (cancel was set), or Failed.
JobResult uploadToFtp(const std::string& recording, const FtpTarget& target, sys::Event& cancel);

}  // namespace recorder
