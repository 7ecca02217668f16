#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "effects/decibels.h"
#include "effects/noise_reduction.h"

// The bands come from one-pole low-passes at 400, 1,100 and 2,600 Hz: the
// lowest band is what passes 400 Hz, each next one the difference of two
// neighbouring low-passes and the top band what is left above 2,600 Hz, so
// the four add up to the input exactly and a gate that is open everywhere
// changes nothing. The lowest band's level is measured above 50 Hz (minus a
// low-pass there) so that rumble and DC do not hold it open.
// A band's envelope is the amplitude of a sine of its root mean square over
// two control blocks, the block and the next, taken over the channels'
// loudest so the stereo image stays. A first pass measures every block; the
// second applies the gains, each block's gain the largest of its own and the
// three before it (a hold of about a tenth of a second, so the ends of words
// are not cut), ramping linearly across the block to the next one.

namespace {

constexpr int kBands = 4;
constexpr double kCornerHz[] = {50, 400, 1100, 2600};
// 131,072 * 10^(level / 20) closes a band; the open point is five times that,
// a span of 2,048 in the scaled envelope.
constexpr int64_t kClosedOffset = 512;
constexpr int64_t kOpenSpan = 2048;
constexpr int64_t kHoldBlocks = 3;

double smoothingCoefficient(double cornerHz, int32_t rate) {
  return rate > 0 ? std::exp(-2 * std::numbers::pi * cornerHz / rate) : 0.0;
}

// The band split of one channel.
class BandSplitter {
 public:
  explicit BandSplitter(int32_t rate) {
    for (int i = 0; i < kBands; ++i) m_keep[i] = smoothingCoefficient(kCornerHz[i], rate);
  }
  // bands[0..3] low to high; measured[0..3] the levels' inputs.
  void split(double x, double* bands, double* measured) {
    for (int i = 0; i < kBands; ++i) m_low[i] = m_keep[i] * m_low[i] + (1 - m_keep[i]) * x;
    bands[0] = m_low[1];
    bands[1] = m_low[2] - m_low[1];
    bands[2] = m_low[3] - m_low[2];
    bands[3] = x - m_low[3];
    measured[0] = m_low[1] - m_low[0];
    for (int i = 1; i < kBands; ++i) measured[i] = bands[i];
  }

 private:
  double m_keep[kBands];
  double m_low[kBands] = {};
};

using BandValues = std::array<double, kBands>;

class NoiseGateSource final : public KernelSource {
 public:
  NoiseGateSource(SampleSourceRef input, int32_t blockFrames, std::vector<std::array<int32_t, kBands>> gains)
      : KernelSource(std::move(input)), m_blockFrames(blockFrames), m_gains(std::move(gains)) {
    for (int c = 0; c < channels(); ++c) m_splitters.emplace_back(sampleRate());
  }

 protected:
  void processChunk(Sample* samples, int32_t firstFrame, int32_t frames) override {
    const int channelCount = channels();
    const int64_t lastBlock = static_cast<int64_t>(m_gains.size()) - 1;
    double bands[kBands], measured[kBands];
    for (int32_t f = 0; f < frames; ++f) {
      const int64_t frame = int64_t{firstFrame} + f;
      const int64_t block = std::clamp<int64_t>(frame / m_blockFrames, 0, lastBlock);
      const double into = static_cast<double>(frame - block * m_blockFrames) / m_blockFrames;
      double gains[kBands];
      for (int b = 0; b < kBands; ++b) {
        const double from = held(block, b), to = held(std::min(block + 1, lastBlock), b);
        gains[b] = (from + (to - from) * std::clamp(into, 0.0, 1.0)) / kUnityGain;
      }
      for (int c = 0; c < channelCount; ++c, ++samples) {
        m_splitters[static_cast<size_t>(c)].split(*samples, bands, measured);
        double out = 0;
        for (int b = 0; b < kBands; ++b) out += bands[b] * gains[b];
        *samples = clampToInt32(std::llround(out));
      }
    }
  }

 private:
  double held(int64_t block, int band) const {
    int32_t gain = m_gains[static_cast<size_t>(block)][band];
    for (int64_t before = std::max<int64_t>(0, block - kHoldBlocks); before < block; ++before)
      gain = std::max(gain, m_gains[static_cast<size_t>(before)][band]);
    return gain;
  }

  int32_t m_blockFrames;
  std::vector<std::array<int32_t, kBands>> m_gains;  // per block and band, 2^24 = unity
  std::vector<BandSplitter> m_splitters;
};

class NoiseGateJob final : public EffectJob {
 public:
  explicit NoiseGateJob(int32_t gateLevel) : m_levels(noiseGateBandLevels(gateLevel)) {}
  std::string name() const override { return kNoiseGateName; }
  bool hasAnalysisPass() const override { return true; }

  JobResult analyse(SampleSource& input, ProgressCallback* progress) override {
    const int channelCount = input.channels();
    m_blockFrames = noiseGateBlockFrames(input.sampleRate());
    std::vector<BandSplitter> splitters(static_cast<size_t>(channelCount), BandSplitter(input.sampleRate()));
    std::vector<BandValues> squares(static_cast<size_t>(channelCount), BandValues{});
    int32_t inBlock = 0;
    auto endBlock = [&] {
      BandValues loudest{};
      for (BandValues& channel : squares) {
        for (int b = 0; b < kBands; ++b) loudest[b] = std::max(loudest[b], channel[b] / inBlock);
        channel = BandValues{};
      }
      m_meanSquares.push_back(loudest);
      inBlock = 0;
    };
    double bands[kBands], measured[kBands];
    JobResult result = readInChunks(input, input.length(), progress, [&](const Sample* samples, int32_t frames) {
      for (int32_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channelCount; ++c) {
          splitters[static_cast<size_t>(c)].split(*samples++, bands, measured);
          for (int b = 0; b < kBands; ++b) squares[static_cast<size_t>(c)][b] += measured[b] * measured[b];
        }
        if (++inBlock == m_blockFrames) endBlock();
      }
      return true;
    });
    if (inBlock > 0) endBlock();
    return result;
  }

  SampleSourceRef process(SampleSourceRef input) override {
    int64_t scales[kBands];
    for (int b = 0; b < kBands; ++b) scales[b] = noiseGateScale(m_levels.levels[b]);
    const size_t count = m_meanSquares.size();
    std::vector<std::array<int32_t, kBands>> gains(std::max<size_t>(count, 1), {kUnityGain, kUnityGain, kUnityGain, kUnityGain});
    for (size_t i = 0; i < count; ++i) {
      const BandValues& next = m_meanSquares[std::min(i + 1, count - 1)];
      for (int b = 0; b < kBands; ++b) {
        const double level = std::sqrt(m_meanSquares[i][b] + next[b]);  // sqrt(2) * RMS of the two
        gains[i][b] = noiseGateGain(std::llround(std::min(level, 9e18)), scales[b]);
      }
    }
    return makeRef<NoiseGateSource>(std::move(input), m_blockFrames, std::move(gains));
  }

 private:
  NoiseGateBandLevels m_levels;
  int32_t m_blockFrames = 1470;
  std::vector<BandValues> m_meanSquares;  // per block, of the loudest channel
};

}  // namespace

NoiseGateBandLevels noiseGateBandLevels(int32_t gateLevel) {
  const int64_t level = gateLevel;
  return {{clampDecibels(level + 3), clampDecibels(level), clampDecibels(level - 3), clampDecibels(level - 3)}};
}

int64_t noiseGateScale(int level) {
  // 2^33 / (gain / 2^24 * 131,072) = 2^40 / gain; a silent entry makes the
  // scale as large as it may be, which keeps the band open.
  const int64_t gain = decibelGain(level);
  return gain > 0 ? (int64_t{1} << 40) / gain : INT64_MAX;
}

int32_t noiseGateGain(int64_t envelope, int64_t scale) {
  if (envelope <= 0) return 0;
  int64_t scaled;
  if (scale <= INT32_MAX && envelope <= INT32_MAX)
    scaled = scaleSample(static_cast<Sample>(envelope), static_cast<int32_t>(scale));
  else  // wide: both factors may be up to 2^63, so the product needs 126 bits
    scaled = static_cast<int64_t>(std::min<__int128>((static_cast<__int128>(envelope) * scale) >> 24, INT64_MAX));
  const int64_t open = scaled - kClosedOffset;
  if (open < 0) return 0;
  if (open > kOpenSpan) return kUnityGain;
  return static_cast<int32_t>(open << 13);
}

int32_t noiseGateBlockFrames(int32_t sampleRate) { return std::clamp(sampleRate / 30, 20, kProcessChunkFrames); }

JobResult noiseGate(SoundBuffer& sound, int32_t start, int32_t end, const NoiseGateParams& params,
                    ProgressCallback* progress) {
  NoiseGateJob job(params.NoiseGateLevel);
  return runEffectJob(sound, start, end, job, progress);
}
