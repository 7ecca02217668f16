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

// How a SpeedSource counts frames. Output: its own frames, from 0, for
// effects that write what it makes. Inner: those of its inner source, for a
// player whose cursor follows what is heard; it starts where the inner source
// stands, position() is the inner frame heard next, and length() and seek()
// are the inner source's.
enum class SpeedTimeline { Output, Inner };

class SpeedSource final : public SampleSource {
 public:
  // A factor that is not above 0 or is above stretching::kMaxFactor gives
  // status 3 and silence (the player scans with another source there). On
  // the output timeline the length is the inner length / factor, rounded,
  // unless outputLength >= 0 names it.
  SpeedSource(SampleSourceRef inner, double factor, SpeedTimeline timeline = SpeedTimeline::Output,
              int64_t outputLength = -1);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override;
  int32_t length() const override;
  void seek(int32_t frame) override;

  double factor() const { return m_factor; }

 private:
  SampleSourceRef m_inner;
  double m_factor;
  SpeedTimeline m_timeline;
  int32_t m_position = 0;
  int32_t m_length = 0;
  std::unique_ptr<SourcePlanarStream> m_reader;
  std::unique_ptr<TimeStretch> m_stretch;
  std::unique_ptr<InterleavingPuller> m_output;
};

// Whether SpeedSource handles the factor.
bool speedFactorSupported(double factor);
// Play Slow and Play Fast: source at percent of normal speed with the pitch
// kept, counting the source's frames; null for a speed it cannot play.
SampleSourceRef makePlaybackSpeedSource(SampleSourceRef source, int percent);
