#pragma once
// Hands a source's frames on in another channel count and rate: for writers
// whose format is fixed (GSM is 8,000 Hz mono) and as a plain converter.
// Channels: one channel is copied to all, several are averaged into one
// (rounded toward zero), otherwise channel c takes the input's channel c (the
// last one where the input has fewer). Rate: output frame j lies at input
// position j x input rate / output rate, kept as an exact fraction so that
// long sounds do not drift, and is interpolated linearly between the two
// input frames around it (the last frame repeats at the end). The output has
// round(input length x output rate / input rate) frames. Plain, not for
// mastering.

#include <vector>

#include "core/sample_source.h"

class FormatAdapterSource final : public SampleSource {
 public:
  // Rates above this would let the interpolation products pass 64 bits.
  static constexpr int32_t kMaxRate = 1 << 30;

  // Not good (status Corrupt) for rates outside 1 ... kMaxRate or channel
  // counts outside 1 ... 255.
  FormatAdapterSource(SampleSourceRef input, int32_t sampleRate, int channels);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }

 private:
  void mapChannels(const Sample* in, Sample* out) const;
  // The input frame at index; indices rise from call to call except after a
  // jump, which seeks the input.
  const Sample* inputFrame(int64_t index);

  SampleSourceRef m_input;
  int64_t m_inputLength = 0;
  int32_t m_position = 0;
  int32_t m_length = 0;
  int64_t m_bufferStart = 0;  // input frame of m_window[0]
  std::vector<Sample> m_window;
  std::vector<Sample> m_frame;
};

// Adapts source to the given format; the source itself when it already fits.
SampleSourceRef adaptSourceFormat(SampleSourceRef source, int32_t sampleRate, int channels);
