#pragma once
// The system clipboard's standard wave format: the image of a whole RIFF
// WAVE file in one block of memory. The Windows side only moves these bytes
// to and from the clipboard; making and reading them is done here.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/sound_buffer.h"

enum class WaveImageStatus {
  Good,
  Damaged,      // not a RIFF WAVE image, or a size in it points past its end
  Unsupported,  // a well-formed image of a sample format that cannot be read here
  TooLong,      // encoding: the sound does not fit the 32-bit sizes of a RIFF file
  Cancelled,
  Failed,       // the decoded audio could not be written to the block store
};

// Encodes the whole sound as 16-bit PCM at its rate and channel count
// (samples rounded and clipped to 16 bits).
WaveImageStatus encodeWaveImage(const SoundBuffer& sound, std::vector<uint8_t>& image,
                                ProgressCallback* progress = nullptr);

// Decodes another program's wave image into sound (left unchanged unless
// Good). Every chunk size is checked against the image before any sample is
// read: the RIFF size, the "fmt " and "data" sizes must all lie inside the
// given bytes ("fmt " before "data"); bytes after the RIFF end are ignored,
// as clipboard memory is often rounded up. Sample formats are those of the
// WAVE reader.
WaveImageStatus decodeWaveImage(const uint8_t* data, size_t size, SoundBuffer& sound,
                                ProgressCallback* progress = nullptr);
