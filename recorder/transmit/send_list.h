#pragma once
// The list of finished recordings still to be passed on ("bgsend.lst" in the
// program's data folder), kept across runs: an 8-byte header (version 1, a
// start counter, the record size 260), then one 260-byte record per
// recording, each a zero-terminated full path, in the order they finished.
// The file is either empty or a valid header followed by whole records.

#include <cstdint>
#include <optional>
#include <string>

#include "sys/threads.h"

namespace recorder {

constexpr uint16_t kSendListVersion = 1;
constexpr uint32_t kSendRecordBytes = 260;
constexpr size_t kSendHeaderBytes = 8;

enum class SendListStart {
  Missing,  // no list: nothing waits
  Kept,     // a valid list, its start counter raised by one
  Dropped,  // deleted: damaged, or it did not advance through two starts
};

class SendList {
 public:
  // retryMs: how long opening waits while someone else holds the file.
  explicit SendList(std::string path, int retryMs = 5000);

  // At program start: a list whose header is not {1, counter below 2, 260}
  // is deleted; a valid one counts this start. The counter returns to 0
  // whenever the list advances, so a recording whose sending hangs the
  // program is dropped at the third start.
  SendListStart checkAtStart();
  // Adds a finished recording at the end. False when the list cannot be
  // opened or written, or the path does not fit a record.
  bool append(const std::string& recording);
  // The recording waiting first; nothing when the list is empty. A list
  // that holds less than one whole record is deleted.
  std::optional<std::string> first();
  // Removes the first recording. The shorter list is written beside the old
  // one and replaces it only when complete: a crash half-way loses nothing.
  bool dropFirst();

  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  int m_retryMs;
  sys::Lock m_lock;
};

}  // namespace recorder
