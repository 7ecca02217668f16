#pragma once
// Hands a source's frames on in another channel count and rate, for writers
// whose format is fixed (GSM is 8,000 Hz mono). Channels: one channel is
// copied to all, several are averaged into one, otherwise channel c takes
// the input's channel c (the last one where the input has fewer). Rate: linear
// interpolation between neighbouring frames; plain, not for mastering.

#include <vector>

#include "core/sample_source.h"

class FormatAdapterSource final : public SampleSource {
 public:
  FormatAdapterSource(SampleSourceRef input, int32_t sampleRate, int channels);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }

 private:
  void mapChannels(const Sample* in, Sample* out) const;
  // The input frame at index (relative to the next unread input frame).
  const Sample* inputFrame(int64_t index);

  SampleSourceRef m_input;
  int32_t m_position = 0;
  int32_t m_length = 0;
  double m_step;            // input frames per output frame
  double m_inputPosition = 0;
  int64_t m_bufferStart = 0;  // input frame of m_window[0]
  std::vector<Sample> m_window;
  std::vector<Sample> m_mapped;
};

// Adapts source to the given format; the source itself when it already fits.
SampleSourceRef adaptSourceFormat(SampleSourceRef source, int32_t sampleRate, int channels);
