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
// Input frames skipped per pull when large factors jump over input.
constexpr int32_t kSkipChunk = 4096;
// A peak must stand out of the frame's strongest bin by less than this power
// ratio (120 dB); below it bins only follow their neighbours.
constexpr float kPeakFloor = 1e-12f;

// The angle of (x, y) to within a few units of float precision: the ratio of
// the smaller to the larger part is brought below tan(pi/8), where a short
// series converges (the single-precision arctangent of the Cephes library).
// No branches: for noise every test would be a coin toss.
float angleOf(float x, float y) {
  constexpr float kQuarterPi = 0.785398163f, kHalfPi = 1.57079633f, kPi = 3.14159265f;
  const float ax = std::abs(x), ay = std::abs(y);
  const float big = std::max(ax, ay), small = std::min(ax, ay);
  const float ratio = big > 0 ? small / big : 0;
  const auto above = static_cast<float>(ratio > 0.414213562f);
  const float a = ratio + above * ((ratio - 1) / (ratio + 1) - ratio);
  const float z = a * a;
  float angle = (((8.05374449538e-2f * z - 1.38776856032e-1f) * z + 1.99777106478e-1f) * z - 3.33329491539e-1f) * z * a +
                a + above * kQuarterPi;
  angle += static_cast<float>(ay > ax) * (kHalfPi - 2 * angle);
  angle += static_cast<float>(x < 0) * (kPi - 2 * angle);
  return std::copysign(angle, y);
}

// angle brought into [-pi, pi]. Adding and taking away 1.5 * 2^23 rounds a
// float to the nearest whole number without a branch or a library call.
float wrapAngle(float angle) {
  constexpr float kTurn = 6.28318531f, kRounder = 12582912.0f;
  const float turns = (angle * (1.0f / kTurn) + kRounder) - kRounder;
  return angle - kTurn * turns;
}

// Sine and cosine of an angle in [-pi, pi] to about 2e-7, without branches:
// short series for half the angle, then the double-angle formulas.
void fastSinCos(float angle, float& sine, float& cosine) {
  const float h = 0.5f * angle, h2 = h * h;
  const float s = h * (1 + h2 * (-1.0f / 6 + h2 * (1.0f / 120 + h2 * (-1.0f / 5040 + h2 * (1.0f / 362880)))));
  const float c = 1 + h2 * (-0.5f + h2 * (1.0f / 24 + h2 * (-1.0f / 720 + h2 * (1.0f / 40320 - h2 * (1.0f / 3628800)))));
  sine = 2 * s * c;
  cosine = c * c - s * s;
}

// out = x * rotation, bin by bin (count a multiple of 4).
void rotate(const float* xRe, const float* xIm, const float* rotRe, const float* rotIm, float* outRe, float* outIm,
            int count) {
  for (int k = 0; k < count; k += 4) {
    const Float4 xr = loadFloat4(xRe + k), xi = loadFloat4(xIm + k);
    const Float4 rr = loadFloat4(rotRe + k), ri = loadFloat4(rotIm + k);
    storeFloat4(outRe + k, xr * rr - xi * ri);
    storeFloat4(outIm + k, xr * ri + xi * rr);
  }
}

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
  // Hann windows both ways; eight of them overlapping add up to 3 after
  // both, and the inverse transform scales by the frame size.
  m_window.resize(m_size);
  m_synthesisWindow.resize(m_size);
  for (int n = 0; n < m_size; ++n) {
    const double hann = 0.5 - 0.5 * std::cos(kTwoPi * n / m_size);
    m_window[n] = static_cast<float>(hann);
    m_synthesisWindow[n] = static_cast<float>(hann / (3.0 * m_size));
  }
  m_input.resize(channels);
  m_pullPointers.resize(channels);
  // Spectra are padded with zero bins to a multiple of 4 for the vector loops.
  m_paddedBins = (m_bins + 3) / 4 * 4;
  m_re.assign(channels, std::vector<float>(m_paddedBins));
  m_im.assign(channels, std::vector<float>(m_paddedBins));
  for (auto* spectrum : {&m_sumRe, &m_sumIm, &m_lastRe, &m_lastIm, &m_outRe, &m_outIm, &m_rotRe, &m_rotIm})
    spectrum->assign(m_paddedBins, 0.0f);
  m_power.assign(m_paddedBins + 4, -1.0f);
  m_peaks.resize(m_bins);
  m_peakFlags.resize(m_paddedBins);
  m_peakRotRe.resize(m_bins);
  m_peakRotIm.resize(m_bins);
  m_regionStarts.resize(m_paddedBins);
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
      const auto count = static_cast<int32_t>(std::min<int64_t>(skip, kSkipChunk));
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
  // Only what the frame needs: a player counts back from its source's
  // position by what was read ahead.
  const auto fetch = static_cast<int32_t>(last + 1 - have);
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
    for (int n = 0; n < m_size; n += 4)
      storeFloat4(&m_frame[n], loadFloat4(in + n) * loadFloat4(&m_window[n]));
    m_fft.forward(m_frame.data(), m_re[c].data(), m_im[c].data());
  }
  std::copy(m_re[0].begin(), m_re[0].end(), m_sumRe.begin());
  std::copy(m_im[0].begin(), m_im[0].end(), m_sumIm.begin());
  for (int c = 1; c < m_channels; ++c)
    for (int k = 0; k < m_paddedBins; k += 4) {
      storeFloat4(&m_sumRe[k], loadFloat4(&m_sumRe[k]) + loadFloat4(&m_re[c][k]));
      storeFloat4(&m_sumIm[k], loadFloat4(&m_sumIm[k]) + loadFloat4(&m_im[c][k]));
    }
}

void TimeStretch::lockPhases(int64_t hop) {
  // m_power has two guard entries of -1 at each end, so that every bin has
  // two neighbours on each side.
  float* power = m_power.data() + 2;
  for (int k = 0; k < m_paddedBins; k += 4) {
    const Float4 re = loadFloat4(&m_sumRe[k]), im = loadFloat4(&m_sumIm[k]);
    storeFloat4(power + k, re * re + im * im);
  }
  std::fill(power + m_bins, power + m_bins + 2, -1.0f);  // guards after the last bin
  const float strongest = *std::max_element(power, power + m_bins);
  // Peak tests four bins at a time, then the peaks collected without
  // branches: in noise every test is a coin toss.
  const Float4 floor = splatFloat4(strongest * kPeakFloor);
  for (int k = 0; k < m_paddedBins; k += 4) {
    const Float4 p = loadFloat4(power + k);
    const Int4 isPeak = (p > floor) & (p > loadFloat4(power + k - 1)) & (p > loadFloat4(power + k - 2)) &
                        (p >= loadFloat4(power + k + 1)) & (p >= loadFloat4(power + k + 2));
    storeInt4(&m_peakFlags[k], isPeak);
  }
  int peaks = 0;
  for (int k = 0; k < m_bins; ++k) {
    m_peaks[peaks] = k;
    peaks -= m_peakFlags[k];  // a flag is -1 or 0
  }
  if (peaks == 0) {
    std::fill(m_rotRe.begin(), m_rotRe.end(), 1.0f);
    std::fill(m_rotIm.begin(), m_rotIm.end(), 0.0f);
    return;
  }
  // The rotation of each peak: from its analysis phase to its phase moved on
  // from the previous synthesis frame by its measured frequency. The phase a
  // bin's centre frequency turns by over a hop is taken from whole numbers
  // (bin x hop mod size), so that it stays exact at any bin and hop.
  const auto size = static_cast<int64_t>(m_size);
  const float binTurn = static_cast<float>(kTwoPi) / static_cast<float>(m_size);
  const float hopRatio = static_cast<float>(m_hop) / static_cast<float>(hop);
  for (int i = 0; i < peaks; ++i) {
    const int peak = m_peaks[i];
    const float sr = m_sumRe[peak], si = m_sumIm[peak];
    const float lr = m_lastRe[peak], li = m_lastIm[peak];
    const float yr = m_outRe[peak], yi = m_outIm[peak];
    const float previous = yr * yr + yi * yi, current = sr * sr + si * si;
    float rr = 1, ri = 0;
    if (previous > 0 && current > 0 && lr * lr + li * li > 0) {
      const float advance = angleOf(sr * lr + si * li, si * lr - sr * li);
      const float expected = binTurn * static_cast<float>(peak * hop % size);
      const float deviation = wrapAngle(advance - expected);
      const float turn = wrapAngle(binTurn * static_cast<float>(peak * m_hop % size) + deviation * hopRatio);
      float cr, ci;
      fastSinCos(turn, ci, cr);
      // unit(previous output) * e^(i turn) * conj(unit(analysis))
      const float scale = 1.0f / (std::sqrt(previous) * std::sqrt(current));
      const float tr = yr * cr - yi * ci, ti = yr * ci + yi * cr;
      rr = (tr * sr + ti * si) * scale;
      ri = (ti * sr - tr * si) * scale;
    }
    m_peakRotRe[i] = rr;
    m_peakRotIm[i] = ri;
  }
  // Every bin takes the rotation of its peak; regions meet halfway between
  // two peaks. A mark where each region after the first begins, then a
  // running count of marks is the region of each bin.
  std::fill(m_regionStarts.begin(), m_regionStarts.end(), 0);
  for (int i = 1; i < peaks; ++i) m_regionStarts[(m_peaks[i - 1] + m_peaks[i]) / 2 + 1] = 1;
  int region = 0;
  for (int k = 0; k < m_paddedBins; ++k) {
    region += m_regionStarts[k];
    m_rotRe[k] = m_peakRotRe[region];
    m_rotIm[k] = m_peakRotIm[region];
  }
}

void TimeStretch::synthesise(int64_t frame) {
  const int64_t offset = (frame - stretching::kOverlap / 2 - m_block) * m_hop;
  const int first = static_cast<int>(std::max<int64_t>(0, -offset));
  for (int c = 0; c < m_channels; ++c) {
    float* re = m_re[c].data();
    float* im = m_im[c].data();
    rotate(re, im, m_rotRe.data(), m_rotIm.data(), re, im, m_paddedBins);
    m_fft.inverse(re, im, m_frame.data());
    float* out = m_overlap[c].data();
    if (first == 0) {
      for (int n = 0; n < m_size; n += 4)
        storeFloat4(out + n, loadFloat4(out + n) + loadFloat4(&m_frame[n]) * loadFloat4(&m_synthesisWindow[n]));
    } else {
      for (int n = first; n < m_size; ++n) out[offset + n] += m_frame[n] * m_synthesisWindow[n];
    }
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
  rotate(m_sumRe.data(), m_sumIm.data(), m_rotRe.data(), m_rotIm.data(), m_outRe.data(), m_outIm.data(), m_paddedBins);
  if (!m_useReference) {
    m_lastRe.swap(m_sumRe);
    m_lastIm.swap(m_sumIm);
  }
  synthesise(frame);
  m_previousCentre = centre;
  m_havePrevious = true;
}

double TimeStretch::inputAhead() const {
  const int64_t output = m_block * m_hop + m_blockUsed;
  const double heard = output * (m_hopWhole + m_hopMillionths / static_cast<double>(kMillion)) / m_hop;
  return static_cast<double>(m_inputStart + m_inputFrames) - heard;
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
