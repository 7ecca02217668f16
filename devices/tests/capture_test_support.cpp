#include "devices/tests/capture_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace capturetest {

void MemorySink::write(const Sample* buffer, int32_t frames) {
  const size_t at = static_cast<size_t>(position()) * channels();
  const size_t count = static_cast<size_t>(frames) * channels();
  if (m_data.size() < at + count) m_data.resize(at + count, 0);
  std::copy_n(buffer, count, m_data.begin() + static_cast<std::ptrdiff_t>(at));
  setPosition(position() + frames);
}

void MemorySink::commit() {
  m_data.resize(static_cast<size_t>(position()) * channels(), 0);
  std::lock_guard hold(m_result->lock);
  m_result->samples = m_data;
  m_result->committed = true;
}

Signal& Signal::tone(int64_t ms, double amplitude, double hz) {
  const int64_t count = framesOf(ms);
  const int64_t start = frameCount();
  for (int64_t f = 0; f < count; ++f) {
    double t = static_cast<double>(start + f) / rate;
    auto value = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * t)));
    for (int c = 0; c < channels; ++c) samples.push_back(value);
  }
  return *this;
}

std::vector<Sample> referenceFiltered(const Signal& signal) {
  const int64_t k = 192000 / signal.rate + 1;
  std::vector<int64_t> accumulators(signal.channels, 0);
  std::vector<Sample> out(signal.samples.size());
  for (size_t i = 0; i < signal.samples.size(); ++i) {
    int64_t& a = accumulators[i % signal.channels];
    // Floor division, written out rather than shifted.
    int64_t correction = a >= 0 ? a / 4096 : -((-a + 4095) / 4096);
    int64_t y = static_cast<int64_t>(signal.samples[i]) * 16 - correction;
    out[i] = static_cast<Sample>(y);
    a += k * y;
  }
  return out;
}

int referencePeakLevel(const std::vector<Sample>& samples, int channels, int64_t firstFrame, int64_t frames) {
  int64_t peak = 0;
  for (int64_t f = firstFrame; f < firstFrame + frames; ++f) {
    for (int c = 0; c < std::min(channels, 2); ++c) {
      peak = std::max<int64_t>(peak, std::llabs(samples[static_cast<size_t>(f * channels + c)]));
    }
  }
  if (peak == 0) return -127;
  long level = std::lround(20 * std::log10(peak / 131072.0));
  return static_cast<int>(std::clamp<long>(level, -127, 127));
}

std::vector<Sample> slice(const std::vector<Sample>& samples, int channels, int64_t from, int64_t to) {
  return std::vector<Sample>(samples.begin() + from * channels, samples.begin() + to * channels);
}

}  // namespace capturetest
