#include "cd/cddb_entry_parser.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace cd {

namespace {

constexpr size_t kYearOffset = 6;  // "YEAR: 1999": Y to the first digit
constexpr const char* kTitleSeparator = " / ";
// DTITLE holds artist and title with the separator between them.
constexpr size_t kDiscTitleBytes = kArtistFieldBytes + kTitleFieldBytes + 3;

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

void CddbEntryParser::appendBounded(std::string& field, const std::string& piece, size_t fieldBytes) {
  size_t room = fieldBytes - 1;
  if (field.size() >= room) return;
  field.append(piece, 0, room - field.size());
}

int CddbEntryParser::trackIndexAfter(const std::string& key, size_t prefixLength) const {
  std::string digits = key.substr(prefixLength);
  // More than three digits cannot name one of at most 255 tracks.
  if (digits.empty() || digits.size() > 3) return -1;
  int index = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  if (index >= m_disc.trackCount || index >= static_cast<int>(m_disc.tracks.size())) return -1;
  return index;
}

void CddbEntryParser::addLine(const std::string& line) {
  if (line.empty() || line[0] == '#') return;
  size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  std::string key = line.substr(0, equals);
  std::string value = line.substr(equals + 1);
  if (key == "DTITLE") {
    appendBounded(m_discTitle, value, kDiscTitleBytes);
  } else if (key == "EXTD") {
    appendBounded(m_disc.extendedData, value, kExtendedFieldBytes);
  } else if (startsWith(key, "TTITLE")) {
    int index = trackIndexAfter(key, 6);
    if (index < 0) return;
    TrackRecord& track = m_disc.tracks[index];
    if (!m_titleSeen[index]) track.title.clear();  // the first piece replaces the default title
    m_titleSeen[index] = true;
    appendBounded(track.title, value, kTitleFieldBytes);
    track.trackNumber = index + 1;
  } else if (startsWith(key, "EXTT")) {
    int index = trackIndexAfter(key, 4);
    if (index < 0) return;
    appendBounded(m_disc.tracks[index].extendedData, value, kExtendedFieldBytes);
  }
}

void CddbEntryParser::finish() {
  size_t separator = m_discTitle.find(kTitleSeparator);
  if (separator == std::string::npos) {
    m_disc.title = m_discTitle.substr(0, kTitleFieldBytes - 1);
  } else {
    m_disc.artist = m_discTitle.substr(0, std::min(separator, kArtistFieldBytes - 1));
    m_disc.title = m_discTitle.substr(separator + 3, kTitleFieldBytes - 1);
  }
  m_disc.year = cddbYearOf(m_disc.extendedData);
}

int32_t cddbYearOf(const std::string& extendedData) {
  size_t year = extendedData.find("YEAR");
  if (year == std::string::npos || year + kYearOffset >= extendedData.size()) return 0;
  long long value = std::strtoll(extendedData.c_str() + year + kYearOffset, nullptr, 10);
  return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

}  // namespace cd
