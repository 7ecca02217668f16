#pragma once
// Playback and effects at another speed with the pitch kept: the inner
// source read `factor` times as fast through the time stretcher
// (time_stretch.h). Slow playback is 0.5 and fast 1.5; Speed Change uses its
// percentage / 100. A factor of exactly 1 passes the inner source through.

#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "effects/planar_stream.h"
#include "effects/time_stretch.h"

class SpeedSource final : public SampleSource {
 public:
  // A factor that is not above 0 or is above stretching::kMaxFactor gives
  // status 3 and silence (the player scans with another source there). The
  // length is the inner length / factor, rounded, unless outputLength >= 0
  // names it.
  SpeedSource(SampleSourceRef inner, double factor, int64_t outputLength = -1);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }
  void seek(int32_t frame) override;

  double factor() const { return m_factor; }

 private:
  SampleSourceRef m_inner;
  double m_factor;
  int32_t m_position = 0;
  int32_t m_length = 0;
  std::unique_ptr<SourcePlanarStream> m_reader;
  std::unique_ptr<TimeStretch> m_stretch;
  std::vector<std::vector<float>> m_planes;
  std::vector<float*> m_planePointers;
};

// Whether SpeedSource handles the factor.
bool speedFactorSupported(double factor);
