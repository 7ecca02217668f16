#include "cd/disc_record.h"

#include <algorithm>
#include <cstdio>

namespace cd {

std::string defaultTrackTitle(int trackIndex) {
  char text[32];
  std::snprintf(text, sizeof text, "Track %.2d", trackIndex + 1);
  return text;
}

void fillFromTableOfContents(DiscRecord& disc, const TableOfContents& toc) {
  int count = std::min(toc.trackCount(), kMaxTracks);
  disc.trackCount = static_cast<uint8_t>(count);
  for (int i = 0; i < static_cast<int>(disc.tracks.size()); ++i) disc.tracks[i] = TrackRecord{};
  for (int i = 0; i < count; ++i) {
    TrackRecord& track = disc.tracks[i];
    track.title = defaultTrackTitle(i);
    track.startAddress = toc.addresses[i];
    track.endAddress = toc.addresses[i + 1];
    track.durationSeconds = std::max(0, (track.endAddress - track.startAddress) / kSectorsPerSecond);
  }
}

std::string trackDurationText(int32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%.2d", seconds / 60, seconds % 60);
  return text;
}

TableOfContents tableOfContentsOf(const DiscRecord& disc) {
  TableOfContents toc;
  for (int i = 0; i < disc.trackCount; ++i) toc.addresses.push_back(disc.tracks[i].startAddress);
  if (disc.trackCount > 0) toc.addresses.push_back(disc.tracks[disc.trackCount - 1].endAddress);
  return toc;
}

}  // namespace cd
