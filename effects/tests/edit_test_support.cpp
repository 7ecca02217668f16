#include "effects/tests/edit_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/block_store.h"
#include "sys/folders.h"
#include "testkit/block_store_environment.h"

namespace edittest {

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("effects-blocks");

}  // namespace

SoundBuffer soundFrom(const std::vector<Sample>& samples, int channels, int32_t rate) {
  SoundBuffer sound(rate, channels);
  auto writer = sound.openWriter(rate, channels);
  writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  EXPECT_EQ(writer->close(), SourceStatus::Good);
  return sound;
}

SoundBuffer constantSound(int32_t frames, Sample value, int channels, int32_t rate) {
  return soundFrom(std::vector<Sample>(static_cast<size_t>(frames) * channels, value), channels, rate);
}

std::vector<Sample> ramp(int32_t frames, int channels, Sample base) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = base + static_cast<Sample>(i);
  return samples;
}

std::vector<Sample> samplesOf(const SoundBuffer& sound) {
  std::vector<Sample> samples(static_cast<size_t>(sound.totalFrames()) * sound.channels());
  auto reader = sound.openReader();
  reader->read(samples.data(), sound.totalFrames());
  return samples;
}

size_t blockFileCount() { return sys::listFiles(blockFolder()).size(); }

}  // namespace edittest
