#include <algorithm>

#include "effects/amplitude_effects.h"

namespace {

// Frame k of the output is frame length-1-k of the input: each chunk is read
// from the matching place counted from the end, then turned round frame by
// frame, the channel order within each frame kept.
class ReverseSource final : public SampleSource {
 public:
  explicit ReverseSource(SampleSourceRef input)
      : SampleSource(input->sampleRate(), input->channels(), input->nominalPeak()), m_input(std::move(input)) {
    setStatus(m_input->status());
  }

  void read(Sample* buffer, int32_t frames) override {
    if (frames <= 0) return;
    const int channelCount = channels();
    m_input->seek(static_cast<int32_t>(std::clamp<int64_t>(int64_t{length()} - m_position - frames, INT32_MIN, INT32_MAX)));
    m_input->read(buffer, frames);
    for (int32_t low = 0, high = frames - 1; low < high; ++low, --high)
      std::swap_ranges(buffer + static_cast<size_t>(low) * channelCount,
                       buffer + static_cast<size_t>(low + 1) * channelCount,
                       buffer + static_cast<size_t>(high) * channelCount);
    m_position += frames;
  }
  int32_t position() const override { return clampToInt32(m_position); }
  int32_t length() const override { return m_input->length(); }
  void seek(int32_t frame) override { m_position = frame; }

 private:
  SampleSourceRef m_input;
  int64_t m_position = 0;
};

class ReverseJob final : public EffectJob {
 public:
  std::string name() const override { return kReverseName; }
  SampleSourceRef process(SampleSourceRef input) override { return makeRef<ReverseSource>(std::move(input)); }
};

}  // namespace

JobResult reverse(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  ReverseJob job;
  return runEffectJob(sound, start, end, job, progress);
}
