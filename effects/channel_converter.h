#pragma once
// Convert Channels as a source: stereo to mono keeps the left channel, mono
// to stereo writes each sample to both channels, and an equal count passes
// through. Any other pair is refused: the source then has the requested
// channel count, status 3 and reads silence, so that a writer of the
// requested layout never receives frames of another one.

#include <vector>

#include "core/sample_source.h"

constexpr const char* kChannelConversionRefused =
    "Only conversions between mono and stereo are possible. This sound has more channels.";

bool channelConversionSupported(int from, int to);

class ChannelConverterSource final : public SampleSource {
 public:
  ChannelConverterSource(SampleSourceRef input, int channels);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_input->position(); }
  int32_t length() const override { return m_input->length(); }
  void seek(int32_t frame) override { m_input->seek(frame); }

 private:
  SampleSourceRef m_input;
  std::vector<Sample> m_inputFrames;
};

// source with the given channel count: the source itself when it already has
// it, a ChannelConverterSource otherwise (check its status).
SampleSourceRef makeChannelConverter(SampleSourceRef source, int channels);
