#pragma once
// Reads one audio track from a drive into a sound buffer, keeping one read
// under way while the previous chunk is stored.

#include <cstdint>

#include "cd/cd_drive.h"
#include "core/sound_buffer.h"

namespace cd {

// The first read is short so that the first chunk arrives quickly; later
// reads are larger.
constexpr int32_t kFirstReadSectors = 13;
constexpr int32_t kReadSectors = 27;
constexpr uint32_t kReadTimeoutMs = 40000;

class RipProgress : public ReadWaiter {
 public:
  virtual void setProgress(int64_t sectorsDone, int64_t sectorsTotal) {}
};

// Rips sectors start to end (exclusive) of drive into sound, which becomes
// 44,100 Hz stereo. Returns 0 done, 1 cancelled, 2 failed (read error,
// timeout, nothing to read, or the sound could not be stored). The sound
// is only changed on success.
int ripTrack(CdDrive& drive, int32_t start, int32_t end, SoundBuffer& sound, RipProgress& progress);

}  // namespace cd
