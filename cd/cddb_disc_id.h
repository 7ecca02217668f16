#pragma once
// The CDDB disc identifier and the query line built from a table of contents.

#include <cstdint>
#include <string>

#include "cd/disc_record.h"

namespace cd {

// ((sum of the digit sums of each track's start second) mod 255) << 24 |
// playing seconds from the first track to the lead-out << 8 | track count.
uint32_t cddbDiscId(const TableOfContents& toc);
std::string cddbDiscIdText(const TableOfContents& toc);  // "%08x"
// "cddb query <id> <count> <offset>... <seconds>\n": each offset is the
// track's start plus the two-second lead-in, the seconds are the playing
// time plus that lead-in.
std::string cddbQueryLine(const TableOfContents& toc);

}  // namespace cd
