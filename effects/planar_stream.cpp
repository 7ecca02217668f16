#include "effects/planar_stream.h"

#include <algorithm>
#include <cmath>

SourcePlanarStream::SourcePlanarStream(SampleSource& source, int64_t origin)
    : m_source(source), m_channels(source.channels()), m_origin(origin) {
  restart(0);
}

void SourcePlanarStream::restart(int64_t frame) {
  m_position = m_origin + frame;
  m_source.seek(static_cast<int32_t>(std::clamp<int64_t>(m_position, 0, INT32_MAX)));
}

void SourcePlanarStream::pull(float* const* channels, int32_t frames) {
  int32_t done = 0;
  // Frames before the start are silence; the source itself is only read
  // from frame 0 on.
  if (m_position < 0) {
    const auto silent = static_cast<int32_t>(std::min<int64_t>(-m_position, frames));
    for (int c = 0; c < m_channels; ++c) std::fill_n(channels[c], silent, 0.0f);
    done = silent;
    m_position += silent;
  }
  while (done < frames) {
    const int32_t count = std::min(frames - done, kProcessChunkFrames);
    m_interleaved.resize(static_cast<size_t>(count) * m_channels);
    m_source.read(m_interleaved.data(), count);
    const Sample* in = m_interleaved.data();
    for (int32_t f = 0; f < count; ++f)
      for (int c = 0; c < m_channels; ++c) channels[c][done + f] = static_cast<float>(*in++);
    done += count;
    m_position += count;
  }
}

void InterleavingPuller::read(PlanarStream& stream, Sample* buffer, int32_t frames) {
  // Just inside the 32-bit range, so that the float converts without overflow.
  constexpr float kLargest = 2147483520.0f;
  const int channels = static_cast<int>(m_planes.size());
  for (int32_t done = 0; done < frames;) {
    const int32_t count = std::min(frames - done, kProcessChunkFrames);
    for (int c = 0; c < channels; ++c) {
      m_planes[c].resize(static_cast<size_t>(count));
      m_planePointers[c] = m_planes[c].data();
    }
    stream.pull(m_planePointers.data(), count);
    Sample* out = buffer + static_cast<size_t>(done) * channels;
    for (int c = 0; c < channels; ++c) {
      const float* plane = m_planes[c].data();
      Sample* to = out + c;
      for (int32_t f = 0; f < count; ++f, to += channels)
        *to = static_cast<Sample>(std::lrint(std::clamp(plane[f], -kLargest, kLargest)));
    }
    done += count;
  }
}
