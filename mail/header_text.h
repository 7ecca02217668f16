#pragma once
// Header texts of a message: the date line and encoded words.

#include <ctime>
#include <string>

namespace mail {

// A point in local time with its offset from UTC.
struct MailTime {
  std::tm local{};
  int zoneMinutes = 0;  // east of UTC positive
};

MailTime currentMailTime();
// "Wed, 09 Dec 2026 01:50:07 +0100".
std::string formatMailDate(const MailTime& time);

// A UTF-8 header text as it is written into the header: unchanged when every
// byte is printable ASCII or a blank, otherwise as "=?utf-8?q?...?=" words of
// at most 75 characters each, folded onto continuation lines, never cutting
// a character in two. Control bytes are always encoded, so no text can end
// the header line early.
std::string encodeHeaderText(const std::string& utf8);

}  // namespace mail
