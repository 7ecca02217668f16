#pragma once
// The free-space line of the recorder: what the system says is free for the
// user in the output folder, in kilobytes (capped just under 4 TB, as the
// line has always counted), shown as megabytes, and whether it is below the
// warning threshold.

#include <cstdint>
#include <string>

namespace recorder {

struct FreeSpace {
  int64_t kilobytes = 0;
  std::string text;  // "%5.2f MB"
  bool low = false;
};

// freeBytes < 0: the system could not say; 16,777,216 KB are assumed.
FreeSpace describeFreeSpace(int64_t freeBytes, int64_t warnBelowMb);

}  // namespace recorder
