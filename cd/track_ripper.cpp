#include "cd/track_ripper.h"

#include <algorithm>
#include <vector>

namespace cd {

namespace {

constexpr int kRipChannels = 2;
constexpr int32_t kRipRate = 44100;

// Stores n sectors of little-endian 16-bit stereo as samples, in pieces of
// at most one processing chunk.
void storeSectors(const uint8_t* bytes, int32_t sectors, SampleSink& sink, std::vector<Sample>& samples) {
  int64_t frames = int64_t{sectors} * kFramesPerSector;
  for (int64_t done = 0; done < frames;) {
    int32_t piece = static_cast<int32_t>(std::min<int64_t>(kProcessChunkFrames, frames - done));
    const uint8_t* at = bytes + done * kRipChannels * 2;
    for (int32_t i = 0; i < piece * kRipChannels; ++i)
      samples[i] = Sample{static_cast<int16_t>(at[2 * i] | (at[2 * i + 1] << 8))} * 16;
    sink.write(samples.data(), piece);
    done += piece;
  }
}

}  // namespace

int ripTrack(CdDrive& drive, int32_t start, int32_t end, SoundBuffer& sound, RipProgress& progress) {
  int32_t total = end - start;
  if (total <= 0 || start < 0) return 2;
  // Two buffers alternate: the drive fills one while the other is stored.
  std::vector<uint8_t> buffers[2] = {std::vector<uint8_t>(size_t{kReadSectors} * kSectorBytes),
                                     std::vector<uint8_t>(size_t{kReadSectors} * kSectorBytes)};
  std::vector<Sample> samples(size_t{kProcessChunkFrames} * kRipChannels);
  SoundBuffer ripped(kRipRate, kRipChannels);
  SampleSinkRef sink = ripped.openWriter(kRipRate, kRipChannels);

  int current = 0;
  int32_t inHand = std::min(total, kFirstReadSectors);
  if (!drive.startRead(start, inHand, buffers[current].data())) return 2;
  ReadWait wait = drive.waitRead(kReadTimeoutMs, progress);
  if (wait != ReadWait::Done) return wait == ReadWait::Cancelled ? 1 : 2;
  int32_t next = start + inHand;
  int32_t stored = 0;
  for (;;) {
    int32_t following = std::min(end - next, kReadSectors);
    bool reading = following > 0 && drive.startRead(next, following, buffers[1 - current].data());
    if (following > 0 && !reading) return 2;
    storeSectors(buffers[current].data(), inHand, *sink, samples);
    stored += inHand;
    progress.setProgress(stored, total);
    if (!reading) break;
    if (progress.cancelled()) {
      // The drive still writes into the other buffer: it must stop first.
      drive.abandonRead();
      return 1;
    }
    wait = drive.waitRead(kReadTimeoutMs, progress);
    if (wait != ReadWait::Done) return wait == ReadWait::Cancelled ? 1 : 2;
    current = 1 - current;
    inHand = following;
    next += following;
  }
  if (sink->close() != SourceStatus::Good) return 2;
  sink = SampleSinkRef();
  sound = std::move(ripped);
  return 0;
}

}  // namespace cd
