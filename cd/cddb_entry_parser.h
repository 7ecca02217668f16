#pragma once
// Reads the lines of a CDDB database entry ("KEY=value") into a disc record.
// Everything in the entry comes from the network: track numbers outside the
// disc are ignored, values never grow past their field, and the year is
// read only where the entry holds it.

#include <bitset>
#include <string>

#include "cd/disc_record.h"

namespace cd {

class CddbEntryParser {
 public:
  explicit CddbEntryParser(DiscRecord& disc) : m_disc(disc) {}
  // One line of the entry, without its line end; comments and unknown keys
  // are passed over. A key met again continues its value.
  void addLine(const std::string& line);
  // Splits the disc title into artist and title and reads the year.
  void finish();

 private:
  // The track index after a key prefix ("TTITLE12"), or -1 when it is not
  // a track of this disc.
  int trackIndexAfter(const std::string& key, size_t prefixLength) const;
  static void appendBounded(std::string& field, const std::string& piece, size_t fieldBytes);

  DiscRecord& m_disc;
  std::string m_discTitle;  // DTITLE as sent, split at the end
  std::bitset<256> m_titleSeen;
};

// The number that starts six characters after the Y of "YEAR" in extended
// disc data ("YEAR: 1999"); 0 when there is no such word or the data ends
// before the number.
int32_t cddbYearOf(const std::string& extendedData);

}  // namespace cd
