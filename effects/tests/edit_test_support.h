#pragma once
// Shared set-up of the edit tests: a block store in a scratch folder, sounds
// written from sample vectors and read back, and a progress that cancels.

#include <cstdint>
#include <vector>

#include "core/sound_buffer.h"

namespace edittest {

SoundBuffer soundFrom(const std::vector<Sample>& samples, int channels = 1, int32_t rate = 44100);
// frames frames of one value on every channel.
SoundBuffer constantSound(int32_t frames, Sample value, int channels = 1, int32_t rate = 44100);
// Frame f of channel c holds base + f * channels + c.
std::vector<Sample> ramp(int32_t frames, int channels = 1, Sample base = 1);
std::vector<Sample> samplesOf(const SoundBuffer& sound);
// Block files of the store's folder, to see that nothing was left behind.
size_t blockFileCount();

// Lets calls through until the given number have been made, then cancels.
class CancelAfter final : public ProgressCallback {
 public:
  explicit CancelAfter(int allowedCalls) : m_allowed(allowedCalls) {}
  bool progress(int64_t, int64_t) override { return m_calls++ < m_allowed; }
  int calls() const { return m_calls; }

 private:
  int m_allowed;
  int m_calls = 0;
};

}  // namespace edittest
