#pragma once
// What the editor knows about an audio CD: filled from the drive's table of
// contents and, when asked for, from a CDDB server.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cd {

// Addresses are CD sectors (frames of 1/75 s). One audio sector holds 2,352
// bytes: 588 stereo frames of 16-bit samples at 44,100 Hz.
constexpr int32_t kSectorsPerSecond = 75;
constexpr int32_t kSectorBytes = 2352;
constexpr int32_t kFramesPerSector = 588;
constexpr int kMaxTracks = 255;

// Text field sizes, counting the terminating zero the fields were laid out
// with: a value is kept to one character less.
constexpr size_t kTitleFieldBytes = 256;
constexpr size_t kArtistFieldBytes = 260;
// The extended data fields have no fixed size; this bounds what a server's
// reply can make us hold.
constexpr size_t kExtendedFieldBytes = 4096;

struct TrackRecord {
  std::string title;          // "Track %.2d" until CDDB names it
  int32_t durationSeconds = 0;
  int32_t trackNumber = 0;    // 1-based, set when CDDB names the track
  int32_t startAddress = 0;   // first sector
  int32_t endAddress = 0;     // next track's start, or the lead-out
  std::string extendedData;   // EXTTn
};

// The table of contents: each track's start sector and, last, the lead-out.
struct TableOfContents {
  std::vector<int32_t> addresses;  // track count + 1 entries
  int trackCount() const { return addresses.empty() ? 0 : static_cast<int>(addresses.size()) - 1; }
};

struct DiscRecord {
  uint8_t driveIndex = 0;
  bool useCddb = true;
  std::string title;     // DTITLE after " / "
  std::string artist;    // DTITLE before " / "
  std::string category;  // of the matched CDDB entry
  std::string discId;    // "%08x", as sent to the server
  int32_t year = 0;
  uint8_t trackCount = 0;
  std::string extendedData;  // EXTD
  std::array<TrackRecord, 256> tracks;
};

// "Track %.2d" with the 1-based number.
std::string defaultTrackTitle(int trackIndex);
// Fills the track list from a table of contents: default titles, addresses
// and durations ((end - start) / 75 seconds, never negative). An empty
// table gives no tracks.
void fillFromTableOfContents(DiscRecord& disc, const TableOfContents& toc);
// A duration as the track list shows it: "%d:%.2d" (minutes, seconds).
std::string trackDurationText(int32_t seconds);
// The start addresses and lead-out back out of the record.
TableOfContents tableOfContentsOf(const DiscRecord& disc);

}  // namespace cd
