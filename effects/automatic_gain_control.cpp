#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "effects/amplitude_effects.h"
#include "effects/decibels.h"

// Two passes. The first measures every 20 ms block: the mean square of the
// signal band-passed between 450 Hz and 2,200 Hz (the difference of two
// one-pole low-passes at those corners, so rumble, hum and hiss do not count
// as loudness) and the block's sample peak. Between the passes the block
// measurements become one gain per block:
//   1. loudness of a block = the mean band power of the blocks within
//      +/-0.75 s that are above an absolute gate (-60 dB) and within 10 dB
//      of that window's gated mean, so pauses between words do not pull it
//      down; a window with nothing above the gate keeps the gain it had;
//   2. wanted gain = target level - loudness, within +/-24 dB;
//   3. smoothed forward and backward (0.5 s each way, no time shift) so the
//      gain drifts instead of following syllables or beats: no pumping;
//   4. capped so that no sample can pass 97 % of full scale, the cap spread
//      over neighbouring blocks at most 0.3 dB per block so it ducks softly.
// The second pass multiplies each frame by the gain interpolated linearly
// between block starts.

namespace {

constexpr double kTargetBandPowerDb = -23.0;  // band-passed mean square, full scale = 0 dB
constexpr double kGateDb = -60.0;
constexpr double kRelativeGateDb = -10.0;
constexpr double kMaxGainDb = 24.0;
constexpr double kLoudnessHalfWindowSeconds = 0.75;
constexpr double kSmoothingSeconds = 0.5;
constexpr double kPeakCeiling = 0.97;
constexpr double kDuckSlopeDbPerBlock = 0.3;

double decibelsOf(double power) { return 10.0 * std::log10(power); }

class BlockGainSource final : public KernelSource {
 public:
  BlockGainSource(SampleSourceRef input, int32_t blockFrames, std::vector<int32_t> gains)
      : KernelSource(std::move(input)), m_blockFrames(blockFrames), m_gains(std::move(gains)) {}

 protected:
  void processChunk(Sample* samples, int32_t firstFrame, int32_t frames) override {
    const int channelCount = channels();
    for (int32_t f = 0; f < frames; ++f) {
      const int64_t frame = int64_t{firstFrame} + f;
      const auto block = static_cast<size_t>(std::clamp<int64_t>(frame / m_blockFrames, 0, m_gains.size() - 1));
      const int64_t from = m_gains[block];
      const int64_t to = m_gains[std::min(block + 1, m_gains.size() - 1)];
      const int64_t into = frame - static_cast<int64_t>(block) * m_blockFrames;
      const auto gain = static_cast<int32_t>(from + (to - from) * std::clamp<int64_t>(into, 0, m_blockFrames) / m_blockFrames);
      for (int c = 0; c < channelCount; ++c, ++samples) *samples = scaleSample(*samples, gain);
    }
  }

 private:
  int32_t m_blockFrames;
  std::vector<int32_t> m_gains;  // per block, 2^24 = unity
};

class AutomaticGainControlJob final : public EffectJob {
 public:
  std::string name() const override { return kAutomaticGainControlName; }
  bool hasAnalysisPass() const override { return true; }

  JobResult analyse(SampleSource& input, ProgressCallback* progress) override {
    const int32_t rate = input.sampleRate();
    const int channelCount = input.channels();
    m_blockFrames = std::clamp(rate / 50, 20, kProcessChunkFrames);
    const double lowCoefficient = std::exp(-2 * std::numbers::pi * 450 / rate);
    const double highCoefficient = std::exp(-2 * std::numbers::pi * 2200 / rate);
    std::vector<double> low(channelCount, 0.0), high(channelCount, 0.0);
    double power = 0, peak = 0;
    int32_t inBlock = 0;
    auto endBlock = [&] {
      m_power.push_back(power / (static_cast<double>(inBlock) * channelCount));
      m_peak.push_back(peak);
      power = peak = 0;
      inBlock = 0;
    };
    JobResult result = readInChunks(input, input.length(), progress, [&](const Sample* samples, int32_t frames) {
      for (int32_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channelCount; ++c) {
          const double x = static_cast<double>(*samples++) / kLargest16BitSample;
          low[c] = lowCoefficient * low[c] + (1 - lowCoefficient) * x;
          high[c] = highCoefficient * high[c] + (1 - highCoefficient) * x;
          const double band = high[c] - low[c];
          power += band * band;
          peak = std::max(peak, std::fabs(x));
        }
        if (++inBlock == m_blockFrames) endBlock();
      }
      return true;
    });
    if (inBlock > 0) endBlock();
    return result;
  }

  SampleSourceRef process(SampleSourceRef input) override {
    std::vector<int32_t> gains = blockGains(input->sampleRate());
    return makeRef<BlockGainSource>(std::move(input), m_blockFrames, std::move(gains));
  }

 private:
  std::vector<int32_t> blockGains(int32_t rate) const {
    const size_t count = m_power.size();
    if (count == 0) return {kUnityGain};
    const double blockSeconds = static_cast<double>(m_blockFrames) / rate;
    const auto halfWindow = static_cast<size_t>(std::lround(kLoudnessHalfWindowSeconds / blockSeconds));
    const double gate = std::pow(10.0, kGateDb / 10);
    const double relativeGate = std::pow(10.0, kRelativeGateDb / 10);

    // 1 and 2: wanted gain in dB per block; NaN where the window is silent.
    std::vector<double> wanted(count, std::nan(""));
    for (size_t b = 0; b < count; ++b) {
      const size_t from = b > halfWindow ? b - halfWindow : 0, to = std::min(count, b + halfWindow + 1);
      double sum = 0;
      int n = 0;
      for (size_t i = from; i < to; ++i)
        if (m_power[i] >= gate) sum += m_power[i], ++n;
      if (n == 0) continue;
      const double floor = sum / n * relativeGate;
      double loud = 0;
      int m = 0;
      for (size_t i = from; i < to; ++i)
        if (m_power[i] >= gate && m_power[i] >= floor) loud += m_power[i], ++m;
      wanted[b] = std::clamp(kTargetBandPowerDb - decibelsOf(loud / m), -kMaxGainDb, kMaxGainDb);
    }
    // Silent stretches keep the gain before them (or after, at the start).
    double held = std::nan("");
    for (double value : wanted)
      if (!std::isnan(value)) {
        held = value;
        break;
      }
    if (std::isnan(held)) held = 0;
    for (double& value : wanted) value = std::isnan(value) ? held : (held = value);

    // 3: zero-phase smoothing.
    const double keep = std::exp(-blockSeconds / kSmoothingSeconds);
    for (size_t b = 1; b < count; ++b) wanted[b] = keep * wanted[b - 1] + (1 - keep) * wanted[b];
    for (size_t b = count - 1; b-- > 0;) wanted[b] = keep * wanted[b + 1] + (1 - keep) * wanted[b];

    // 4: the peak cap. A frame of block b gets a gain between those of b and
    // b + 1, so each block's gain must suit its own peak and the one before.
    auto ceiling = [&](size_t b) {
      return m_peak[b] > 0 ? 20.0 * std::log10(kPeakCeiling / m_peak[b]) : kMaxGainDb;
    };
    for (size_t b = 0; b < count; ++b) {
      wanted[b] = std::min(wanted[b], ceiling(b));
      if (b > 0) wanted[b] = std::min(wanted[b], ceiling(b - 1));
    }
    for (size_t b = 1; b < count; ++b) wanted[b] = std::min(wanted[b], wanted[b - 1] + kDuckSlopeDbPerBlock);
    for (size_t b = count - 1; b-- > 0;) wanted[b] = std::min(wanted[b], wanted[b + 1] + kDuckSlopeDbPerBlock);

    std::vector<int32_t> gains(count);
    for (size_t b = 0; b < count; ++b)
      gains[b] = static_cast<int32_t>(std::lround(kUnityGain * std::pow(10.0, wanted[b] / 20)));
    return gains;
  }

  int32_t m_blockFrames = 882;
  std::vector<double> m_power;  // band-passed mean square per block, full scale = 1
  std::vector<double> m_peak;   // largest magnitude per block, full scale = 1
};

}  // namespace

JobResult automaticGainControl(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  AutomaticGainControlJob job;
  return runEffectJob(sound, start, end, job, progress);
}
