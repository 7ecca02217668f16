#include "mail/header_text.h"

#include <cstdio>
#include <cstdlib>

namespace mail {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  long long era = (year >= 0 ? year : year - 399) / 400;
  long long yearOfEra = year - era * 400;
  long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

long long minutesOf(const std::tm& t) {
  return daysFromCivil(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday) * 1440 + t.tm_hour * 60 + t.tm_min;
}

bool needsEncoding(const std::string& text) {
  for (unsigned char c : text)
    if (c < 32 || c > 126) return true;
  return false;
}

// Bytes that stand for themselves inside a "q" encoded word.
bool plainInWord(unsigned char c) { return c >= 33 && c <= 126 && c != '?' && c != '_' && c != '='; }

}  // namespace

MailTime currentMailTime() {
  std::time_t now = std::time(nullptr);
  MailTime time;
  std::tm utc{};
  // Both calls share one static buffer on some systems: copy each at once.
  if (std::tm* local = std::localtime(&now)) time.local = *local;
  if (std::tm* gmt = std::gmtime(&now)) utc = *gmt;
  time.zoneMinutes = int(minutesOf(time.local) - minutesOf(utc));
  return time;
}

std::string formatMailDate(const MailTime& time) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::tm& t = time.local;
  int zone = std::abs(time.zoneMinutes);
  char text[64];
  std::snprintf(text, sizeof text, "%s, %.2d %s 20%.2d %.2d:%.2d:%.2d %s%.2d%.2d",
                kDays[(t.tm_wday % 7 + 7) % 7], t.tm_mday, kMonths[(t.tm_mon % 12 + 12) % 12],
                t.tm_year % 100, t.tm_hour, t.tm_min, t.tm_sec, time.zoneMinutes < 0 ? "-" : "+",
                zone / 60, zone % 60);
  return text;
}

std::string encodeHeaderText(const std::string& utf8) {
  if (!needsEncoding(utf8)) return utf8;
  static constexpr const char* kOpen = "=?utf-8?q?";
  static constexpr const char* kClose = "?=";
  static constexpr size_t kMaxWord = 75;
  static constexpr size_t kFraming = 10 + 2;
  std::string out;
  std::string word;
  size_t i = 0;
  while (i < utf8.size()) {
    // One character: a lead byte and its continuation bytes stay in one word.
    size_t end = i + 1;
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80 && end - i < 4) ++end;
    std::string piece;
    for (size_t k = i; k < end; ++k) {
      unsigned char c = static_cast<unsigned char>(utf8[k]);
      if (plainInWord(c)) {
        piece += char(c);
      } else {
        char hex[4];
        std::snprintf(hex, sizeof hex, "=%02X", c);
        piece += hex;
      }
    }
    if (!word.empty() && word.size() + piece.size() + kFraming > kMaxWord) {
      if (!out.empty()) out += "\r\n ";
      out += kOpen + word + kClose;
      word.clear();
    }
    word += piece;
    i = end;
  }
  if (!word.empty()) {
    if (!out.empty()) out += "\r\n ";
    out += kOpen + word + kClose;
  }
  return out;
}

}  // namespace mail
