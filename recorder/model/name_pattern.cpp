#include "recorder/model/name_pattern.h"

#include <cctype>
#include <cstring>
#include <ctime>

#include "recorder/model/recorder_settings.h"

namespace recorder {

namespace {

constexpr size_t kMaxTokenChars = 259;
// A pattern whose number is cut off by the length limit names the same file
// for every number; the search for a free name gives up after this many.
constexpr int kMaxNameAttempts = 100000;

bool sameIgnoringCase(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// At least width digits, zero-padded.
std::string padded(long long value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < static_cast<size_t>(width)) digits.insert(0, width - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

}  // namespace

LocalTime currentLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
#if defined(_WIN32)
  localtime_s(&parts, &now);
#else
  localtime_r(&now, &parts);
#endif
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::string expandNamePattern(const std::string& pattern, const LocalTime& now, long long& autoNumber,
                              bool& usedAutoNumber) {
  std::string name;
  size_t pos = 0;
  while (pos < pattern.size()) {
    if (pattern[pos] != '%') {
      name += pattern[pos++];
      continue;
    }
    size_t close = pattern.find('%', pos + 1);
    if (close == std::string::npos) break;  // an unclosed token copies nothing
    std::string token = pattern.substr(pos + 1, std::min(close - pos - 1, kMaxTokenChars));
    pos = close + 1;
    if (sameIgnoringCase(token, "YYYY")) name += padded(now.year, 4);
    else if (sameIgnoringCase(token, "MM")) name += padded(now.month, 2);
    else if (sameIgnoringCase(token, "DD")) name += padded(now.day, 2);
    else if (sameIgnoringCase(token, "HH")) name += padded(now.hour, 2);
    else if (sameIgnoringCase(token, "MIN")) name += padded(now.minute, 2);
    else if (sameIgnoringCase(token, "SS")) name += padded(now.second, 2);
    else if (sameIgnoringCase(token, "autonumber")) {
      name += std::to_string(autoNumber);
      ++autoNumber;
      usedAutoNumber = true;
    }
  }
  if (name.size() > kMaxNameChars) name.resize(kMaxNameChars);
  return name;
}

std::string cleanRecordingName(const std::string& name) {
  std::string clean;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::strchr("\"*./:<>?\\|", c) != nullptr) continue;
    clean += c;
    if (clean.size() == kMaxNameChars) break;
  }
  return clean;
}

std::string nameFromPattern(const std::string& pattern, const LocalTime& now, RecorderSettings& settings,
                            const std::function<bool(const std::string& name)>& exists) {
  std::string name, previous;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    long long number = settings.autoNumber();
    bool usedAutoNumber = false;
    name = cleanRecordingName(expandNamePattern(pattern, now, number, usedAutoNumber));
    if (!usedAutoNumber) break;
    settings.setAutoNumber(number);
    // A name the number does not change will never be free.
    if (!exists || !exists(name) || (attempt > 0 && name == previous)) break;
    previous = name;
  }
  return name;
}

}  // namespace recorder
