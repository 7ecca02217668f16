#pragma once

#include <cstdint>

// What went wrong with a source or sink; 0 is good.
enum class SourceStatus : uint8_t {
  Good = 0,
  CannotCreate = 1,  // a sink's output cannot be created or written, or 0 channels
  Corrupt = 3,       // corrupt or invalid format
  CannotOpen = 4,    // the file cannot be opened
  CodecMissing = 5,  // no codec on this system converts the file's format
};

// Result codes of long operations.
enum class JobResult : int { Done = 0, Cancelled = 1, Failed = 2 };
