#include "effects/time_stretch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "effects/float_vector.h"

namespace stretching {

int transformSize(int32_t sampleRate) {
  const int32_t m = sampleRate / 32 - (sampleRate / 32) / 4;
  if (m <= 8) return 8;
  int size = 16;
  while (size < m) size *= 2;
  return size;
}

}  // namespace stretching

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr int64_t kMillion = 1000000;
// Input frames fetched at least per refill.
constexpr int32_t kInputChunk = 4096;
// A peak must stand out of the frame's strongest bin by less than this power
// ratio (120 dB); below it bins only follow their neighbours.
constexpr float kPeakFloor = 1e-12f;

int64_t floorDivide(int64_t numerator, int64_t denominator) {
  int64_t quotient = numerator / denominator;
  if (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) --quotient;
  return quotient;
}

}  // namespace

TimeStretch::TimeStretch(PlanarStream& upstream, int channels, int32_t sampleRate, double factor)
    : m_upstream(upstream),
      m_channels(channels),
      m_size(stretching::transformSize(sampleRate)),
      m_hop(m_size / stretching::kOverlap),
      m_bins(m_size / 2 + 1),
      m_fft(m_size) {
  const double hop = m_hop * factor;
  m_hopWhole = static_cast<int64_t>(std::floor(hop));
  m_hopMillionths = std::llround((hop - m_hopWhole) * kMillion);
  if (m_hopMillionths >= kMillion) {
    ++m_hopWhole;
    m_hopMillionths -= kMillion;
  }
  m_useReference = factor > 2;
  m_window.resize(m_size);
  for (int n = 0; n < m_size; ++n) m_window[n] = static_cast<float>(0.5 - 0.5 * std::cos(kTwoPi * n / m_size));
  m_input.resize(channels);
  m_pullPointers.resize(channels);
  m_re.assign(channels, std::vector<float>(m_bins));
  m_im.assign(channels, std::vector<float>(m_bins));
  for (auto* spectrum : {&m_sumRe, &m_sumIm, &m_lastRe, &m_lastIm, &m_outRe, &m_outIm, &m_power, &m_rotRe, &m_rotIm})
    spectrum->assign(m_bins, 0.0f);
  m_frame.resize(m_size);
  m_overlap.assign(channels, std::vector<float>(m_size));
  restart(0);
}

int64_t TimeStretch::analysisCentre(int64_t frame) const {
  return frame * m_hopWhole + floorDivide(frame * m_hopMillionths, kMillion);
}

void TimeStretch::restart(int64_t frame) {
  m_block = floorDivide(frame, m_hop);
  m_blockUsed = static_cast<int32_t>(frame - m_block * m_hop);
  // Output block b is complete once frames b - 3 .. b + 4 have been added.
  m_nextFrame = m_block - (stretching::kOverlap / 2 - 1);
  for (auto& plane : m_overlap) std::fill(plane.begin(), plane.end(), 0.0f);
  m_havePrevious = false;
  m_inputStart = analysisCentre(m_nextFrame) - m_size / 2 - m_hop;
  m_inputFrames = 0;
  m_upstream.restart(m_inputStart);
}

void TimeStretch::ensureInput(int64_t first, int64_t last) {
  const int64_t end = m_inputStart + m_inputFrames;
  if (first >= end) {
    // Nothing kept: skip the input up to first (large factors jump over it).
    for (int64_t skip = first - end; skip > 0;) {
      const auto count = static_cast<int32_t>(std::min<int64_t>(skip, kInputChunk));
      for (int c = 0; c < m_channels; ++c) {
        m_input[c].resize(std::max<size_t>(m_input[c].size(), count));
        m_pullPointers[c] = m_input[c].data();
      }
      m_upstream.pull(m_pullPointers.data(), count);
      skip -= count;
    }
    m_inputFrames = 0;
  } else if (first > m_inputStart) {
    const auto drop = static_cast<int32_t>(first - m_inputStart);
    for (auto& plane : m_input) std::copy(plane.begin() + drop, plane.begin() + m_inputFrames, plane.begin());
    m_inputFrames -= drop;
  }
  m_inputStart = std::max(first, m_inputStart);
  const int64_t have = m_inputStart + m_inputFrames;
  if (last < have) return;
  const auto fetch = static_cast<int32_t>(std::max<int64_t>(last + 1 - have, kInputChunk));
  for (int c = 0; c < m_channels; ++c) {
    m_input[c].resize(std::max<size_t>(m_input[c].size(), static_cast<size_t>(m_inputFrames) + fetch));
    m_pullPointers[c] = m_input[c].data() + m_inputFrames;
  }
  m_upstream.pull(m_pullPointers.data(), fetch);
  m_inputFrames += fetch;
}

void TimeStretch::analyse(int64_t inputStart) {
  const auto offset = static_cast<size_t>(inputStart - m_inputStart);
  for (int c = 0; c < m_channels; ++c) {
    const float* in = m_input[c].data() + offset;
    for (int n = 0; n < m_size; ++n) m_frame[n] = in[n] * m_window[n];
    m_fft.forward(m_frame.data(), m_re[c].data(), m_im[c].data());
  }
  std::copy(m_re[0].begin(), m_re[0].end(), m_sumRe.begin());
  std::copy(m_im[0].begin(), m_im[0].end(), m_sumIm.begin());
  for (int c = 1; c < m_channels; ++c)
    for (int k = 0; k < m_bins; ++k) {
      m_sumRe[k] += m_re[c][k];
      m_sumIm[k] += m_im[c][k];
    }
}

void TimeStretch::lockPhases(int64_t hop) {
  float strongest = 0;
  for (int k = 0; k < m_bins; ++k) {
    m_power[k] = m_sumRe[k] * m_sumRe[k] + m_sumIm[k] * m_sumIm[k];
    strongest = std::max(strongest, m_power[k]);
  }
  m_peaks.clear();
  const float floor = strongest * kPeakFloor;
  for (int k = 0; k < m_bins; ++k) {
    const float p = m_power[k];
    if (p <= floor) continue;
    if ((k >= 1 && p <= m_power[k - 1]) || (k >= 2 && p <= m_power[k - 2])) continue;
    if ((k + 1 < m_bins && p < m_power[k + 1]) || (k + 2 < m_bins && p < m_power[k + 2])) continue;
    m_peaks.push_back(k);
  }
  if (m_peaks.empty()) {
    std::fill(m_rotRe.begin(), m_rotRe.end(), 1.0f);
    std::fill(m_rotIm.begin(), m_rotIm.end(), 0.0f);
    return;
  }
  // The rotation of each peak: from its analysis phase to its phase moved on
  // from the previous synthesis frame by its measured frequency.
  for (int peak : m_peaks) {
    const double sr = m_sumRe[peak], si = m_sumIm[peak];
    const double lr = m_lastRe[peak], li = m_lastIm[peak];
    const double advance = std::atan2(si * lr - sr * li, sr * lr + si * li);
    const double binFrequency = kTwoPi * peak / m_size;
    double deviation = advance - binFrequency * hop;
    deviation -= kTwoPi * std::nearbyint(deviation / kTwoPi);
    const double frequency = binFrequency + deviation / hop;
    double turn = frequency * m_hop;
    turn -= kTwoPi * std::nearbyint(turn / kTwoPi);
    const double yr = m_outRe[peak], yi = m_outIm[peak];
    const double previous = std::hypot(yr, yi), current = std::hypot(sr, si);
    double rr = 1, ri = 0;
    if (previous > 0 && current > 0) {
      // unit(previous output) * e^(i turn) * conj(unit(analysis))
      const double cr = std::cos(turn), ci = std::sin(turn);
      const double tr = (yr * cr - yi * ci) / previous, ti = (yr * ci + yi * cr) / previous;
      rr = (tr * sr + ti * si) / current;
      ri = (ti * sr - tr * si) / current;
    }
    m_rotRe[peak] = static_cast<float>(rr);
    m_rotIm[peak] = static_cast<float>(ri);
  }
  // Every bin takes the rotation of its peak; regions meet at the lowest bin
  // between two peaks.
  int from = 0;
  for (size_t i = 0; i < m_peaks.size(); ++i) {
    const int peak = m_peaks[i];
    int to = m_bins;
    if (i + 1 < m_peaks.size()) {
      const int next = m_peaks[i + 1];
      to = peak + 1;
      for (int k = peak + 1; k < next; ++k)
        if (m_power[k] < m_power[to]) to = k;
      to += 1;
    }
    const float rr = m_rotRe[peak], ri = m_rotIm[peak];
    for (int k = from; k < to; ++k) {
      m_rotRe[k] = rr;
      m_rotIm[k] = ri;
    }
    from = to;
  }
}

void TimeStretch::synthesise(int64_t frame) {
  // Hann analysis and synthesis windows overlapping eight times add up to 3;
  // the inverse transform scales by the frame size.
  const float gain = 1.0f / (3.0f * static_cast<float>(m_size));
  const int64_t offset = (frame - stretching::kOverlap / 2 - m_block) * m_hop;
  const int first = static_cast<int>(std::max<int64_t>(0, -offset));
  for (int c = 0; c < m_channels; ++c) {
    float* re = m_re[c].data();
    float* im = m_im[c].data();
    for (int k = 0; k < m_bins; ++k) {
      const float xr = re[k], xi = im[k];
      re[k] = xr * m_rotRe[k] - xi * m_rotIm[k];
      im[k] = xr * m_rotIm[k] + xi * m_rotRe[k];
    }
    m_fft.inverse(re, im, m_frame.data());
    float* out = m_overlap[c].data();
    for (int n = first; n < m_size; ++n) out[offset + n] += m_frame[n] * m_window[n] * gain;
  }
}

void TimeStretch::processFrame(int64_t frame) {
  const int64_t centre = analysisCentre(frame);
  const int64_t start = centre - m_size / 2;
  const int64_t referenceStart = start - m_hop;
  ensureInput(m_useReference ? referenceStart : start, start + m_size - 1);
  if (m_useReference && m_havePrevious) {
    // The sum's spectrum one synthesis hop before the frame.
    const auto offset = static_cast<size_t>(referenceStart - m_inputStart);
    for (int n = 0; n < m_size; ++n) {
      float sum = 0;
      for (int c = 0; c < m_channels; ++c) sum += m_input[c][offset + n];
      m_frame[n] = sum * m_window[n];
    }
    m_fft.forward(m_frame.data(), m_lastRe.data(), m_lastIm.data());
  }
  analyse(start);
  if (m_havePrevious) {
    lockPhases(m_useReference ? m_hop : centre - m_previousCentre);
  } else {
    std::fill(m_rotRe.begin(), m_rotRe.end(), 1.0f);
    std::fill(m_rotIm.begin(), m_rotIm.end(), 0.0f);
  }
  for (int k = 0; k < m_bins; ++k) {
    m_outRe[k] = m_sumRe[k] * m_rotRe[k] - m_sumIm[k] * m_rotIm[k];
    m_outIm[k] = m_sumRe[k] * m_rotIm[k] + m_sumIm[k] * m_rotRe[k];
  }
  if (!m_useReference) {
    m_lastRe.swap(m_sumRe);
    m_lastIm.swap(m_sumIm);
  }
  synthesise(frame);
  m_previousCentre = centre;
  m_havePrevious = true;
}

void TimeStretch::pull(float* const* channels, int32_t frames) {
  for (int32_t done = 0; done < frames;) {
    while (m_nextFrame <= m_block + stretching::kOverlap / 2) processFrame(m_nextFrame++);
    const int32_t count = std::min(frames - done, m_hop - m_blockUsed);
    for (int c = 0; c < m_channels; ++c)
      std::copy_n(m_overlap[c].begin() + m_blockUsed, count, channels[c] + done);
    m_blockUsed += count;
    done += count;
    if (m_blockUsed == m_hop) {
      for (auto& plane : m_overlap) {
        std::copy(plane.begin() + m_hop, plane.end(), plane.begin());
        std::fill(plane.end() - m_hop, plane.end(), 0.0f);
      }
      ++m_block;
      m_blockUsed = 0;
    }
  }
}
