#pragma once
// Shared set-up of the core tests: a block store in a scratch folder, and
// buffers written from sample vectors and read back whole.

#include <vector>

#include "core/sound_buffer.h"

namespace coretest {

// Frames f = 0..frames-1 of a ramp, sample value base + f * channels + c.
std::vector<Sample> ramp(int32_t frames, int channels, Sample base = 1);
SoundBuffer bufferFrom(const std::vector<Sample>& samples, int channels, int32_t rate = 44100);
std::vector<Sample> readAllFrames(const SoundBuffer& buffer);
std::vector<Sample> readFrames(SampleSource& source, int32_t frames);

}  // namespace coretest
