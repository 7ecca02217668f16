#include "effects/resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "effects/float_vector.h"

namespace resampling {

std::vector<int32_t> conversionPath(int32_t inRate, int32_t outRate) {
  if (inRate == outRate) return {inRate};
  if (static_cast<int64_t>(outRate) * 4 < inRate) return {inRate, outRate * 2, outRate};
  return {inRate, outRate};
}

StageFilter singleStageFilter(int32_t inRate, int32_t outRate) {
  const double lower = std::min(inRate, outRate);
  return {kStopbandEdge * lower, lower};
}

StageFilter firstOfTwoStagesFilter(int32_t inRate, int32_t target) {
  // Aliases at the intermediate rate 2t of what lies below 1.5t land above
  // t/2, where the second stage removes them. The passband must still reach
  // the target's passband edge, which bounds how far apart the taps may be.
  const double stop = 1.5 * target;
  const double widest = (stop - kPassbandEdge * target) / (kStopbandEdge - kPassbandEdge);
  return {stop, std::min<double>(inRate, widest)};
}

int64_t convertedLength(int64_t inFrames, int32_t inRate, int32_t outRate) {
  if (inFrames <= 0 || inRate <= 0 || outRate <= 0) return 0;
  return (inFrames * outRate + inRate / 2) / inRate;
}

}  // namespace resampling

namespace {

using namespace resampling;

// A table of one row per phase is used while it stays this small (floats);
// beyond, rows at kBlendSteps even steps are blended linearly, which keeps
// the error of the kernel below -120 dB.
constexpr int64_t kMaxExactKernel = 1 << 18;
constexpr int kBlendSteps = 1024;
// Output frames computed per pass over the channels.
constexpr int32_t kBatchFrames = 256;
// Input frames fetched at least per refill.
constexpr int32_t kInputChunk = 4096;

double besselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 64 && term > sum * 1e-17; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

int64_t floorDivide(int64_t numerator, int64_t denominator) {
  int64_t quotient = numerator / denominator;
  if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) --quotient;
  return quotient;
}

float dotProduct(const float* samples, const float* row, int taps) {
  Float4 a = splatFloat4(0), b = splatFloat4(0);
  for (int i = 0; i < taps; i += 8) {
    a += loadFloat4(samples + i) * loadFloat4(row + i);
    b += loadFloat4(samples + i + 4) * loadFloat4(row + i + 4);
  }
  return sumOf(a + b);
}

}  // namespace

Resampler::Resampler(PlanarStream& upstream, int channels, int32_t inRate, int32_t outRate, StageFilter filter)
    : m_upstream(upstream), m_channels(channels) {
  const int64_t common = std::gcd<int64_t, int64_t>(inRate, outRate);
  m_inStep = inRate / common;
  m_outStep = outRate / common;
  const double tapRate = std::min<double>(filter.tapRate, inRate);
  m_cutoff = (filter.stopEdge - kCutoffBelowStop * tapRate) / inRate;
  m_halfWidth = kKernelTaps / 2.0 * inRate / tapRate;
  m_reach = static_cast<int>(std::ceil(m_halfWidth));
  m_taps = (2 * m_reach + 7) / 8 * 8;
  m_exactPhases = m_outStep * m_taps <= kMaxExactKernel;
  m_rows = m_exactPhases ? static_cast<int>(m_outStep) : kBlendSteps + 1;
  buildKernel();
  m_buffer.resize(channels);
  m_pullPointers.resize(channels);
  m_batchOffset.resize(kBatchFrames);
  m_batchRow.resize(kBatchFrames);
  if (!m_exactPhases) m_blendedRows.resize(static_cast<size_t>(kBatchFrames) * m_taps);
  restart(0);
}

void Resampler::fillRow(double fraction, float* row) const {
  // Tap i weighs input frame index - m_reach + 1 + i for an output at
  // index + fraction.
  const double cutoff = 2 * m_cutoff;
  std::vector<double> values(m_taps, 0.0);
  double sum = 0;
  for (int i = 0; i < 2 * m_reach; ++i) {
    const double x = i - m_reach + 1 - fraction;
    if (std::abs(x) >= m_halfWidth) continue;
    const double r = x / m_halfWidth;
    const double window = besselI0(kKaiserBeta * std::sqrt(1 - r * r)) / besselI0(kKaiserBeta);
    const double arg = std::numbers::pi * cutoff * x;
    const double sinc = x == 0 ? 1.0 : std::sin(arg) / arg;
    values[i] = cutoff * sinc * window;
    sum += values[i];
  }
  // Each row passes a constant unchanged, whatever its phase.
  for (int i = 0; i < m_taps; ++i) row[i] = static_cast<float>(values[i] / sum);
}

void Resampler::buildKernel() {
  m_kernel.assign(static_cast<size_t>(m_rows) * m_taps, 0.0f);
  for (int r = 0; r < m_rows; ++r) {
    const double fraction = m_exactPhases ? static_cast<double>(r) / m_outStep : static_cast<double>(r) / kBlendSteps;
    fillRow(fraction, &m_kernel[static_cast<size_t>(r) * m_taps]);
  }
}

void Resampler::restart(int64_t frame) {
  const int64_t position = frame * m_inStep;
  m_index = floorDivide(position, m_outStep);
  m_remainder = position - m_index * m_outStep;
  m_bufferStart = m_index - m_reach + 1;
  m_bufferFrames = 0;
  m_upstream.restart(m_bufferStart);
}

void Resampler::ensureInput(int64_t lastFrame) {
  const int64_t have = m_bufferStart + m_bufferFrames;
  if (lastFrame < have) return;
  // Drop what the next output no longer needs, then fetch at least a chunk.
  const int64_t keepFrom = std::min(m_index - m_reach + 1, have);
  const auto drop = static_cast<int32_t>(keepFrom - m_bufferStart);
  const int32_t kept = m_bufferFrames - drop;
  const auto fetch = static_cast<int32_t>(std::max<int64_t>(lastFrame + 1 - have, kInputChunk));
  for (int c = 0; c < m_channels; ++c) {
    std::vector<float>& plane = m_buffer[c];
    if (drop > 0) std::copy(plane.begin() + drop, plane.begin() + drop + kept, plane.begin());
    if (plane.size() < static_cast<size_t>(kept + fetch)) plane.resize(static_cast<size_t>(kept + fetch));
    m_pullPointers[c] = plane.data() + kept;
  }
  m_upstream.pull(m_pullPointers.data(), fetch);
  m_bufferStart = keepFrom;
  m_bufferFrames = kept + fetch;
}

void Resampler::pull(float* const* channels, int32_t frames) {
  const int64_t stepWhole = m_inStep / m_outStep, stepRemainder = m_inStep % m_outStep;
  for (int32_t done = 0; done < frames;) {
    const int32_t batch = std::min(frames - done, kBatchFrames);
    // Input index of the batch's last output, for the frames it needs.
    const int64_t span = (m_remainder + (batch - 1) * m_inStep) / m_outStep;
    ensureInput(m_index + span - m_reach + m_taps);
    for (int32_t j = 0; j < batch; ++j) {
      m_batchOffset[j] = static_cast<int32_t>(m_index - m_reach + 1 - m_bufferStart);
      if (m_exactPhases) {
        m_batchRow[j] = &m_kernel[static_cast<size_t>(m_remainder) * m_taps];
      } else {
        const double at = static_cast<double>(m_remainder) / m_outStep * kBlendSteps;
        const int row = std::min(static_cast<int>(at), kBlendSteps - 1);
        const auto blend = static_cast<float>(at - row);
        const float* low = &m_kernel[static_cast<size_t>(row) * m_taps];
        const float* high = low + m_taps;
        float* mixed = &m_blendedRows[static_cast<size_t>(j) * m_taps];
        for (int i = 0; i < m_taps; ++i) mixed[i] = low[i] + (high[i] - low[i]) * blend;
        m_batchRow[j] = mixed;
      }
      m_index += stepWhole;
      m_remainder += stepRemainder;
      if (m_remainder >= m_outStep) {
        m_remainder -= m_outStep;
        ++m_index;
      }
    }
    for (int c = 0; c < m_channels; ++c) {
      const float* plane = m_buffer[c].data();
      float* out = channels[c] + done;
      for (int32_t j = 0; j < batch; ++j) out[j] = dotProduct(plane + m_batchOffset[j], m_batchRow[j], m_taps);
    }
    done += batch;
  }
}
