#include "devices/scan_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

int32_t ScanSource::grainFrames(int32_t rate) { return clampTo(rate / 90, 20, 2730); }

ScanSource::ScanSource(SampleSourceRef inner, double startSpeed, double finalSpeed, int32_t rampMs)
    : SampleSource(inner->sampleRate(), inner->channels(), inner->nominalPeak()),
      m_inner(std::move(inner)),
      m_grain(grainFrames(sampleRate())),
      m_step(m_grain * startSpeed),
      m_finalStep(m_grain * finalSpeed),
      // Counted in frames, like the grains it is used up by, so that the ramp
      // takes its time whatever the channel count.
      m_remaining(msToFrames(rampMs, sampleRate())),
      m_grainStart(m_inner->position()),
      m_periodUsed(m_grain) {
  setStatus(m_inner->status());
  const int entries = m_grain * channels();
  const int flat = entries / 2;
  const int falling = entries - flat;
  m_window.assign(entries, kUnity);
  for (int k = 0; k < falling; ++k) {
    double weight = 0.5 * std::cos(k * std::numbers::pi / falling) + 0.5;
    m_window[flat + k] = static_cast<int32_t>(weight * kUnity);
  }
  m_grainSamples.resize(static_cast<size_t>(2 * m_grain) * channels());
  m_period.resize(static_cast<size_t>(m_grain) * channels());
}

int32_t ScanSource::length() const {
  if (m_step < 0) return clampToInt32(2 * m_grainStart);
  return m_inner->length();
}

void ScanSource::seek(int32_t frame) {
  m_grainStart = frame;
  m_primed = false;
  m_periodUsed = m_grain;
}

// Backwards the grain sits behind its start, so what sounds is what the scan
// has just passed over, and nothing is read beyond where it began.
void ScanSource::readGrain() {
  int64_t readFrom = m_step < 0 ? m_grainStart - m_grain : m_grainStart;
  m_inner->seek(clampToInt32(readFrom));
  m_inner->read(m_grainSamples.data(), 2 * m_grain);
}

void ScanSource::makePeriod() {
  const size_t periodSamples = m_period.size();
  if (!m_primed) {
    readGrain();
    std::copy_n(m_grainSamples.begin(), periodSamples, m_period.begin());
    m_primed = true;
  } else {
    int64_t next = m_grainStart + std::llround(m_step);
    m_grainStart = m_step < 0 ? std::max<int64_t>(next, 0) : next;
    // The previous grain's tail, still in the second half of the grain buffer.
    std::vector<Sample>& out = m_period;
    std::copy_n(m_grainSamples.begin() + periodSamples, periodSamples, out.begin());
    readGrain();
    for (size_t i = 0; i < periodSamples; ++i) {
      int64_t fading = static_cast<int64_t>(out[i]) * m_window[i];
      int64_t rising = static_cast<int64_t>(m_grainSamples[i]) * (kUnity - m_window[i]);
      out[i] = static_cast<Sample>((fading + rising) / kUnity);
    }
  }
  // The step ramps towards the final speed after each grain.
  if (m_remaining > 0) {
    m_step += (m_finalStep - m_step) * m_grain / static_cast<double>(m_remaining);
    m_remaining -= m_grain;
  }
  if (m_remaining <= 0) m_step = m_finalStep;
  m_periodUsed = 0;
}

void ScanSource::read(Sample* buffer, int32_t frames) {
  const int ch = channels();
  while (frames > 0) {
    if (m_periodUsed >= m_grain) makePeriod();
    int32_t count = std::min(frames, m_grain - m_periodUsed);
    std::copy_n(m_period.begin() + static_cast<size_t>(m_periodUsed) * ch,
                static_cast<size_t>(count) * ch, buffer);
    buffer += static_cast<size_t>(count) * ch;
    frames -= count;
    m_periodUsed += count;
  }
}
