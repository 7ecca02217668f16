#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effects/noise_reduction.h"

// Two ways to know the noise: the mean power of a stretch that is noise
// alone, or, when the noise has to be found inside the audio, the power that
// the quietest share of each bin's frames stays under. Power of a noise bin
// from frame to frame spreads exponentially about its mean, so the level at
// which a share q of frames stays is -ln(1 - q) times the mean: dividing by
// that gives the mean back. A steady hum has no spread and comes out a little
// high, which only takes it out more firmly.

namespace {

// Bin power histograms in steps of half a decibel from 10^-2 (quieter than
// any noise of a 24-bit source) to 10^20.
constexpr double kLowestDecibels = -20.0;
constexpr double kStepDecibels = 0.5;
constexpr int kSteps = 440;

// log2 of a positive float from its exponent and a quadratic in its
// mantissa: within 0.005, a thirtieth of a step, and much cheaper than a
// logarithm for every bin of every frame.
float roughLog2(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int exponent = static_cast<int>((bits >> 23) & 0xFF) - 127;
  bits = (bits & 0x7FFFFF) | 0x3F800000;
  float mantissa;
  std::memcpy(&mantissa, &bits, sizeof mantissa);
  return static_cast<float>(exponent) + (-0.34484843f * mantissa + 2.02466578f) * mantissa - 1.67487759f;
}

constexpr float kDecibelsPerOctave = 3.0102999566f;

int stepOf(float power) {
  if (!(power > 0) || !std::isfinite(power)) return power > 0 ? kSteps - 1 : 0;
  const float step = (kDecibelsPerOctave * roughLog2(power) - static_cast<float>(kLowestDecibels)) /
                     static_cast<float>(kStepDecibels);
  return static_cast<int>(std::clamp(step, 0.0f, kSteps - 1.0f));
}

// Estimates need no more than half-overlapping frames; the power of a bin
// per frame is the same as with the processing layout.
SpectrumLayout estimateLayout(const SpectrumLayout& layout) { return {layout.fftSize, layout.fftSize / 2}; }

double powerOfStep(double step) { return std::pow(10.0, (kLowestDecibels + step * kStepDecibels) / 10.0); }

}  // namespace

JobResult measureNoiseSpectrum(SampleSource& input, NoiseSpectrum& noise, ProgressCallback* progress) {
  const int channels = input.channels();
  noise.layout = SpectrumLayout::forRate(input.sampleRate());
  const size_t bins = static_cast<size_t>(noise.layout.bins());
  std::vector<std::vector<double>> sums(static_cast<size_t>(channels), std::vector<double>(bins, 0.0));
  ShortTimeAnalyser analyser(estimateLayout(noise.layout), channels);
  auto add = [&](int channel, const float* re, const float* im) {
    std::vector<double>& sum = sums[static_cast<size_t>(channel)];
    for (size_t k = 0; k < bins; ++k) sum[k] += double{re[k]} * re[k] + double{im[k]} * im[k];
  };
  JobResult result = readInChunks(input, input.length(), progress, [&](const Sample* samples, int32_t frames) {
    analyser.push(samples, frames, add);
    return true;
  });
  if (result != JobResult::Done) return result;
  analyser.flushShort(add);
  const double frames = static_cast<double>(std::max<int64_t>(analyser.framesAnalysed(), 1));
  noise.power.assign(static_cast<size_t>(channels), std::vector<float>(bins, 0.0f));
  for (size_t c = 0; c < sums.size(); ++c)
    for (size_t k = 0; k < bins; ++k) noise.power[c][k] = static_cast<float>(sums[c][k] / frames);
  return JobResult::Done;
}

JobResult estimateNoiseFromQuietest(SampleSource& input, int32_t silencePercent, NoiseSpectrum& noise,
                                    ProgressCallback* progress) {
  const int channels = input.channels();
  noise.layout = SpectrumLayout::forRate(input.sampleRate());
  const size_t bins = static_cast<size_t>(noise.layout.bins());
  std::vector<std::vector<uint32_t>> histograms(static_cast<size_t>(channels),
                                                std::vector<uint32_t>(bins * kSteps, 0));
  ShortTimeAnalyser analyser(estimateLayout(noise.layout), channels);
  auto count = [&](int channel, const float* re, const float* im) {
    uint32_t* histogram = histograms[static_cast<size_t>(channel)].data();
    for (size_t k = 0; k < bins; ++k) ++histogram[k * kSteps + static_cast<size_t>(stepOf(re[k] * re[k] + im[k] * im[k]))];
  };
  JobResult result = readInChunks(input, input.length(), progress, [&](const Sample* samples, int32_t frames) {
    analyser.push(samples, frames, count);
    return true;
  });
  if (result != JobResult::Done) return result;
  analyser.flushShort(count);

  const double share = std::clamp(silencePercent, 1, 99) / 100.0;
  const double spread = -std::log(1.0 - share);
  const double frames = static_cast<double>(analyser.framesAnalysed());
  noise.power.assign(static_cast<size_t>(channels), std::vector<float>(bins, 0.0f));
  if (frames == 0) return JobResult::Done;
  const double wanted = share * frames;
  for (size_t c = 0; c < histograms.size(); ++c) {
    for (size_t k = 0; k < bins; ++k) {
      const uint32_t* histogram = histograms[c].data() + k * kSteps;
      double below = 0;
      int step = 0;
      while (step < kSteps - 1 && below + histogram[step] < wanted) below += histogram[step++];
      // The level inside the step, by where the wanted count falls in it.
      const double within = histogram[step] > 0 ? (wanted - below) / histogram[step] : 0.0;
      // The lowest step also holds frames of digital silence: no noise there.
      noise.power[c][k] = step == 0 ? 0.0f : static_cast<float>(powerOfStep(step + within) / spread);
    }
  }
  return JobResult::Done;
}
