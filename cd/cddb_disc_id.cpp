#include "cd/cddb_disc_id.h"

#include <cstdio>

namespace cd {

namespace {

// The lead-in before the first track, in sectors: addresses on the disc
// count from the end of it, CDDB counts from its start.
constexpr int32_t kLeadInSectors = 150;

int digitSum(int32_t value) {
  int sum = 0;
  for (; value > 0; value /= 10) sum += value % 10;
  return sum;
}

int32_t playingSeconds(const TableOfContents& toc) {
  int count = toc.trackCount();
  return (toc.addresses[count] - toc.addresses[0]) / kSectorsPerSecond;
}

}  // namespace

uint32_t cddbDiscId(const TableOfContents& toc) {
  int count = toc.trackCount();
  if (count <= 0) return 0;
  uint32_t digits = 0;
  for (int i = 0; i < count; ++i) digits += digitSum((toc.addresses[i] + kLeadInSectors) / kSectorsPerSecond);
  uint32_t seconds = static_cast<uint32_t>(playingSeconds(toc));
  return ((digits % 255) << 24) | (seconds << 8) | static_cast<uint32_t>(count);
}

std::string cddbDiscIdText(const TableOfContents& toc) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", cddbDiscId(toc));
  return text;
}

std::string cddbQueryLine(const TableOfContents& toc) {
  int count = toc.trackCount();
  std::string line = "cddb query " + cddbDiscIdText(toc) + " " + std::to_string(count) + " ";
  for (int i = 0; i < count; ++i) line += std::to_string(toc.addresses[i] + kLeadInSectors) + " ";
  line += std::to_string((count > 0 ? playingSeconds(toc) : 0) + kLeadInSectors / kSectorsPerSecond) + "\n";
  return line;
}

}  // namespace cd
