// Any bytes as an MP3 file.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "formats/formats.h"
#include "fuzz/source_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto source = openMp3Source(std::make_unique<MemoryByteSource>(data, size));
  fuzz::SourceLimits limits;
  // The densest MPEG audio frame holds 24 samples a byte (a Layer II or III
  // frame of the lowest bit rate at 24 kHz); a last frame cut short may
  // still count whole.
  limits.maxLength = static_cast<int64_t>(size) * 24 + 1152;
  // A seek starts decoding a few frames early to refill the bit reservoir;
  // in a damaged stream those frames need not give what a straight read
  // had (the unit tests hold valid streams to exact seeks).
  limits.exactSeek = false;
  fuzz::exerciseSource(*source, limits);
  return 0;
}
