#include "recorder/session/free_space.h"

#include <algorithm>
#include <cstdio>

namespace recorder {

FreeSpace describeFreeSpace(int64_t freeBytes, int64_t warnBelowMb) {
  constexpr int64_t kUnknownKb = 16777216;
  // High 32-bit word capped at 1023, each worth 4,194,304 KB, plus the low word's KB.
  constexpr int64_t kCapKb = 1023 * int64_t{4194304} + (int64_t{0xFFFFFFFF} / 1024);
  FreeSpace space;
  space.kilobytes = freeBytes < 0 ? kUnknownKb : std::min(freeBytes / 1024, kCapKb);
  const double megabytes = static_cast<double>(space.kilobytes) / 1024.0;
  char text[64];
  std::snprintf(text, sizeof text, "%5.2f MB", megabytes);
  space.text = text;
  space.low = space.kilobytes / 1024 < warnBelowMb;
  return space;
}

}  // namespace recorder
