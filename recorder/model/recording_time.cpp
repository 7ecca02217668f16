#include "recorder/model/recording_time.h"

#include <algorithm>
#include <cstdio>

namespace recorder {

namespace {
constexpr long long kLargest = 1000000000000LL;  // seconds, and digits of one field
}  // namespace

long long parseRecordingTime(const std::string& text) {
  long long seconds = 0, field = 0, fraction = 0, fractionScale = 1000;
  bool negative = false, inFraction = false;
  for (char c : text) {
    if (c == '-') {
      negative = true;
    } else if (c == ':' && !inFraction) {
      // Capped so that absurd texts cannot overflow; no limit comes near it.
      seconds = std::min(seconds * 60 + field, kLargest);
      field = 0;
    } else if (c == '.') {
      inFraction = true;
    } else if (c >= '0' && c <= '9') {
      int digit = c - '0';
      if (inFraction) {
        // Milliseconds are the finest step; further digits are dropped.
        if (fractionScale > 1) {
          fractionScale /= 10;
          fraction += digit * fractionScale;
        }
      } else if (field < kLargest) {
        field = field * 10 + digit;
      }
    }
  }
  long long ms = (seconds * 60 + field) * 1000 + fraction;
  return negative ? -ms : ms;
}

std::string elapsedTimeText(long long elapsedMs) {
  long long magnitude = elapsedMs < 0 ? -elapsedMs : elapsedMs;
  long long hundredths = (magnitude + 5) / 10;
  char text[64];
  std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld.%02lld", elapsedMs < 0 ? "-" : "", hundredths / 360000,
                hundredths / 6000 % 60, hundredths / 100 % 60, hundredths % 100);
  return text;
}

}  // namespace recorder
