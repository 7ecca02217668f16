#include "editor/model/time_text.h"

#include <cinttypes>
#include <cstdio>

namespace {

// The magnitude of a time, in unsigned arithmetic so that the most negative
// value has one too.
uint64_t magnitude(int64_t ms) { return ms < 0 ? 0 - static_cast<uint64_t>(ms) : static_cast<uint64_t>(ms); }

const char* signOf(int64_t ms) { return ms < 0 ? "-" : ""; }

std::string formatClock(int64_t ms, uint64_t rounding, bool hundredths) {
  uint64_t u = magnitude(ms) + rounding;
  char text[64];
  uint64_t hours = u / 3600000, minutes = u / 60000 % 60, seconds = u / 1000 % 60;
  if (hundredths)
    std::snprintf(text, sizeof text, "%s%" PRIu64 ":%02" PRIu64 ":%02" PRIu64 ".%02" PRIu64, signOf(ms), hours,
                  minutes, seconds, u % 1000 / 10);
  else
    std::snprintf(text, sizeof text, "%s%" PRIu64 ":%02" PRIu64 ":%02" PRIu64 ".%03" PRIu64, signOf(ms), hours,
                  minutes, seconds, u % 1000);
  return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// No field may make the total pass this; far beyond any sound, far below overflow.
constexpr uint64_t kMaxFieldValue = 1000000000000ULL;

// Reads a run of digits at text[pos]; false when there is none or it is absurdly long.
bool readNumber(const std::string& text, size_t& pos, uint64_t& value) {
  size_t start = pos;
  value = 0;
  while (pos < text.size() && isDigit(text[pos])) {
    value = value * 10 + static_cast<uint64_t>(text[pos] - '0');
    if (value > kMaxFieldValue) return false;
    ++pos;
  }
  return pos > start;
}

}  // namespace

std::string formatTimeHundredths(int64_t ms) { return formatClock(ms, 5, true); }

std::string formatTimeMillis(int64_t ms) { return formatClock(ms, 0, false); }

std::string formatLengthHms(int64_t ms) {
  uint64_t u = magnitude(ms);
  char text[64];
  std::snprintf(text, sizeof text, "%s%" PRIu64 ":%02" PRIu64 ":%02" PRIu64, signOf(ms), u / 3600000,
                u / 60000 % 60, u / 1000 % 60);
  return text;
}

std::string formatLengthMs(int64_t ms) {
  uint64_t u = magnitude(ms);
  char text[64];
  std::snprintf(text, sizeof text, "%s%" PRIu64 ":%02" PRIu64, signOf(ms), u / 60000, u / 1000 % 60);
  return text;
}

std::string formatTimeTenths(int64_t ms) {
  uint64_t u = magnitude(ms);
  char text[64];
  std::snprintf(text, sizeof text, "%s%" PRIu64 ":%02" PRIu64 ":%02" PRIu64 ".%01" PRIu64, signOf(ms), u / 3600000,
                u / 60000 % 60, u / 1000 % 60, u % 1000 / 100);
  return text;
}

bool parseTimeText(const std::string& text, int64_t& ms) {
  size_t pos = text.find_first_not_of(" \t");
  size_t last = text.find_last_not_of(" \t");
  if (pos == std::string::npos) return false;
  std::string body = text.substr(pos, last - pos + 1);
  pos = 0;

  // Up to three fields: [[h:]m:]s, the last with an optional fraction.
  uint64_t fields[3];
  int count = 0;
  for (;;) {
    uint64_t value = 0;
    bool hasDigits = readNumber(body, pos, value);
    if (!hasDigits && pos < body.size() && body[pos] != '.') return false;
    if (!hasDigits && count > 0) return false;  // "1:" or "1:.5"
    if (count > 0 && value >= 60) return false;
    fields[count++] = value;
    if (pos < body.size() && body[pos] == ':') {
      if (count == 3) return false;
      ++pos;
      continue;
    }
    break;
  }

  uint64_t fraction = 0;
  bool fractionDigits = false;
  if (pos < body.size() && body[pos] == '.') {
    ++pos;
    uint64_t scale = 100;
    while (pos < body.size() && isDigit(body[pos])) {
      fraction += static_cast<uint64_t>(body[pos] - '0') * scale;
      scale /= 10;
      fractionDigits = true;
      ++pos;
    }
  }
  if (pos != body.size()) return false;
  // "." alone: neither whole nor fraction digits.
  if (count == 1 && !isDigit(body[0]) && !fractionDigits) return false;

  uint64_t seconds = 0;
  for (int i = 0; i < count; ++i) seconds = seconds * 60 + fields[i];
  ms = static_cast<int64_t>(seconds * 1000 + fraction);
  return true;
}
