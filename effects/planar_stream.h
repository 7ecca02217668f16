#pragma once
// Sound as one float array per channel, pulled stage by stage through the
// resampler and the time stretcher. Values keep the scale of Sample (full
// scale 2^19); converting to float and back happens once at each end of a
// chain instead of between its stages.

#include <cstdint>
#include <vector>

#include "core/sample_source.h"

class PlanarStream {
 public:
  virtual ~PlanarStream() = default;
  // Fills frames values of each channel, continuing where the last pull
  // ended; silence where the stream has no data.
  virtual void pull(float* const* channels, int32_t frames) = 0;
  // The next pull starts at frame, which may lie before the start (silence
  // until frame 0) or past the end.
  virtual void restart(int64_t frame) = 0;
};

// The frames of a source as a planar stream: stream frame f is frame
// origin + f of the source.
class SourcePlanarStream final : public PlanarStream {
 public:
  explicit SourcePlanarStream(SampleSource& source, int64_t origin = 0);
  void pull(float* const* channels, int32_t frames) override;
  void restart(int64_t frame) override;
  void setOrigin(int64_t origin) { m_origin = origin; }

 private:
  SampleSource& m_source;
  int m_channels;
  int64_t m_origin;
  int64_t m_position = 0;  // next source frame pulled
  std::vector<Sample> m_interleaved;
};

// The end of a chain: pulls a planar stream in chunks of kProcessChunkFrames
// and hands its frames on as interleaved samples, rounded; values out of
// range saturate. Keeps its planes between reads.
class InterleavingPuller {
 public:
  explicit InterleavingPuller(int channels) : m_planes(channels), m_planePointers(channels) {}
  void read(PlanarStream& stream, Sample* buffer, int32_t frames);

 private:
  std::vector<std::vector<float>> m_planes;
  std::vector<float*> m_planePointers;
};
