#include "recorder/session/elapsed_text.h"

#include <cstdio>

namespace recorder {

std::string elapsedText(int64_t milliseconds) {
  const bool negative = milliseconds < 0;
  // Magnitude in unsigned arithmetic, so that the most negative value is safe.
  uint64_t ms = negative ? 0 - static_cast<uint64_t>(milliseconds) : static_cast<uint64_t>(milliseconds);
  const uint64_t hundredths = (ms + 5) / 10;
  char text[48];
  std::snprintf(text, sizeof text, "%s%llu:%.2llu:%.2llu.%.2llu", negative ? "-" : "",
                static_cast<unsigned long long>(hundredths / 360000),
                static_cast<unsigned long long>(hundredths / 6000 % 60),
                static_cast<unsigned long long>(hundredths / 100 % 60),
                static_cast<unsigned long long>(hundredths % 100));
  return text;
}

}  // namespace recorder
