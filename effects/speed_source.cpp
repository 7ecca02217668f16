#include "effects/speed_source.h"

#include <algorithm>
#include <cmath>

namespace {

// The peak may grow where stretched partials add up; twice the inner one,
// within the largest nominal peak of the system.
constexpr int32_t kLargestNominalPeak = 1 << 21;

int32_t speedNominalPeak(int32_t inner) {
  return static_cast<int32_t>(std::min<int64_t>(2 * static_cast<int64_t>(inner), kLargestNominalPeak));
}

}  // namespace

bool speedFactorSupported(double factor) { return factor > 0 && factor <= stretching::kMaxFactor; }

SampleSourceRef makePlaybackSpeedSource(SampleSourceRef source, int percent) {
  const double factor = percent / 100.0;
  if (!speedFactorSupported(factor)) return {};
  return makeRef<SpeedSource>(std::move(source), factor, SpeedTimeline::Inner);
}

SpeedSource::SpeedSource(SampleSourceRef inner, double factor, SpeedTimeline timeline, int64_t outputLength)
    : SampleSource(inner->sampleRate(), inner->channels(), speedNominalPeak(inner->nominalPeak())),
      m_inner(std::move(inner)),
      m_factor(factor),
      m_timeline(timeline) {
  if (!m_inner->good()) setStatus(m_inner->status());
  if (!speedFactorSupported(factor)) {
    setStatus(SourceStatus::Corrupt);
    return;
  }
  m_length = clampToInt32(outputLength >= 0 ? outputLength : std::llround(m_inner->length() / factor));
  const bool onInnerTimeline = timeline == SpeedTimeline::Inner;
  if (factor == 1.0) {
    if (!onInnerTimeline) m_inner->seek(0);
    return;
  }
  m_reader = std::make_unique<SourcePlanarStream>(*m_inner, onInnerTimeline ? m_inner->position() : 0);
  m_stretch = std::make_unique<TimeStretch>(*m_reader, channels(), sampleRate(), factor);
  m_output = std::make_unique<InterleavingPuller>(channels());
}

int32_t SpeedSource::position() const {
  if (m_timeline == SpeedTimeline::Output) return m_position;
  if (!m_stretch) return m_inner->position();
  return clampTo(std::llround(m_inner->position() - m_stretch->inputAhead()), 0, INT32_MAX);
}

int32_t SpeedSource::length() const { return m_timeline == SpeedTimeline::Output ? m_length : m_inner->length(); }

void SpeedSource::seek(int32_t frame) {
  m_position = frame;
  if (m_stretch && m_timeline == SpeedTimeline::Inner) {
    m_reader->setOrigin(frame);
    m_stretch->restart(0);
  } else if (m_stretch) {
    m_stretch->restart(frame);
  } else if (speedFactorSupported(m_factor)) {
    m_inner->seek(frame);
  }
}

void SpeedSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  m_position = clampToInt32(static_cast<int64_t>(m_position) + frames);
  if (!m_stretch) {
    if (speedFactorSupported(m_factor))
      m_inner->read(buffer, frames);
    else
      std::fill_n(buffer, static_cast<size_t>(frames) * channels(), 0);
    return;
  }
  m_output->read(*m_stretch, buffer, frames);
}
