#include "core/tests/block_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/block_store.h"
#include "sys/folders.h"
#include "testkit/block_store_environment.h"

namespace coretest {

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("core-blocks");

}  // namespace

std::vector<Sample> ramp(int32_t frames, int channels, Sample base) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = base + static_cast<Sample>(i);
  return samples;
}

SoundBuffer bufferFrom(const std::vector<Sample>& samples, int channels, int32_t rate) {
  SoundBuffer buffer;
  {
    auto writer = buffer.openWriter(rate, channels);
    writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  }
  return buffer;
}

std::vector<Sample> readFrames(SampleSource& source, int32_t frames) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * source.channels());
  source.read(samples.data(), frames);
  return samples;
}

std::vector<Sample> readAllFrames(const SoundBuffer& buffer) {
  auto reader = buffer.openReader();
  return readFrames(*reader, buffer.totalFrames());
}

}  // namespace coretest
