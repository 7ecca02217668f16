#include "effects/channel_converter.h"

#include <algorithm>

bool channelConversionSupported(int from, int to) {
  return from >= 1 && from <= 255 && (from == to || (from == 1 && to == 2) || (from == 2 && to == 1));
}

ChannelConverterSource::ChannelConverterSource(SampleSourceRef input, int channels)
    : SampleSource(input->sampleRate(), channels, input->nominalPeak()), m_input(std::move(input)) {
  if (!m_input->good()) setStatus(m_input->status());
  if (!channelConversionSupported(m_input->channels(), channels)) setStatus(SourceStatus::Corrupt);
}

void ChannelConverterSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  const int from = m_input->channels(), to = channels();
  if (!channelConversionSupported(from, to)) {
    std::fill_n(buffer, static_cast<size_t>(frames) * to, 0);
    return;
  }
  if (from == to) {
    m_input->read(buffer, frames);
    return;
  }
  for (int32_t done = 0; done < frames;) {
    const int32_t count = std::min(frames - done, kProcessChunkFrames);
    m_inputFrames.resize(static_cast<size_t>(count) * from);
    m_input->read(m_inputFrames.data(), count);
    Sample* out = buffer + static_cast<size_t>(done) * to;
    const Sample* in = m_inputFrames.data();
    if (from == 2) {
      for (int32_t f = 0; f < count; ++f) out[f] = in[2 * f];  // the left channel
    } else {
      for (int32_t f = 0; f < count; ++f) out[2 * f] = out[2 * f + 1] = in[f];
    }
    done += count;
  }
}

SampleSourceRef makeChannelConverter(SampleSourceRef source, int channels) {
  if (source->channels() == channels) return source;
  return makeRef<ChannelConverterSource>(std::move(source), channels);
}
