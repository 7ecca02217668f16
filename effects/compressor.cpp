#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/amplitude_effects.h"
#include "effects/decibels.h"

const CompressorRatioEntry kCompressorRatios[kCompressorRatioCount] = {
    {"1:1", 1.0},
    {"3:2", 0.9623506263981255},
    {"2:1", 0.9440608762859234},
    {"3:1", 0.9261187281287935},
    {"4:1", 0.9172759353897796},
    {"5:1", 0.9120108393559098},
    {"Limit", 0.8912509382363546},
};

CompressorParams readCompressorParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kCompressorThresholdValue), readEffectParameter(store, kCompressorRatioValue),
          readEffectParameter(store, kCompressorLimitValue)};
}

void writeCompressorParams(sys::SettingsStore& store, const CompressorParams& params) {
  writeEffectParameter(store, kCompressorThresholdValue, params.CompressorThreshold);
  writeEffectParameter(store, kCompressorRatioValue, params.CompressorRatio);
  writeEffectParameter(store, kCompressorLimitValue, params.CompressorLimit);
}

namespace {

// Window levels: 10 log10(P / this), P the mean of (sample >> 5)^2.
constexpr double kLevelReference = 8388626.0;
constexpr int kCurveOffset = 128;  // curve index = level in dB + 128

int32_t toGain(double gain) { return gain >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(gain); }

}  // namespace

CompressorCurve compressorCurve(const CompressorParams& params) {
  CompressorCurve curve{};
  const int threshold = clampDecibels(params.CompressorThreshold);
  const int ratio = std::clamp(params.CompressorRatio, 0, kCompressorRatioCount - 1);
  const double factor = kCompressorRatios[ratio].factorPerDecibel;
  // Below the threshold a fixed boost of -T (1 - 1/ratio) dB; above it each
  // decibel of level takes `factor` off, so that 0 dB stays at unity.
  int32_t gain = threshold >= 0 ? kUnityGain : toGain(kUnityGain / std::pow(factor, -threshold));
  for (int index = 0; index < 256; ++index) {
    if (index > threshold + kCurveOffset) gain = toGain(gain * factor);
    curve[index] = gain;
  }
  // The limit is a ceiling on the output level: a window whose level would
  // come out above it is brought down to it, one dB of cut for every dB of
  // level above the ceiling (each step a factor of 10^(-1/20)). At 127 dB
  // nothing is ever limited.
  const int limit = clampDecibels(params.CompressorLimit);
  for (int index = 0; index < 256; ++index) {
    const int level = index - kCurveOffset;
    const double ceiling = kUnityGain * std::pow(10.0, (limit - level) / 20.0);
    if (ceiling < curve[index]) curve[index] = toGain(ceiling);
  }
  return curve;
}

int32_t compressorWindowFrames(int32_t sampleRate) {
  return static_cast<int32_t>(std::clamp<int64_t>(msToFrames(45, sampleRate), 128, kProcessChunkFrames));
}

int compressorWindowLevel(double meanSquare) {
  if (meanSquare <= 0) return kSilenceDecibels;
  double level = 10.0 * std::log10(meanSquare / kLevelReference);
  level += meanSquare >= kLevelReference ? 0.5 : -0.5;
  return clampDecibels(static_cast<long long>(std::trunc(std::clamp(level, -1000.0, 1000.0))));
}

namespace {

// Looks one window ahead: the gain of the current window ramps toward the
// curve's value for the next one, fast when it must fall and slowly, half
// way, when it may rise.
class CompressorSource final : public SampleSource {
 public:
  CompressorSource(SampleSourceRef input, const CompressorCurve& curve)
      : SampleSource(input->sampleRate(), input->channels(), input->nominalPeak()),
        m_input(std::move(input)),
        m_curve(curve),
        m_window(compressorWindowFrames(sampleRate())) {
    setStatus(m_input->status());
    m_length = m_input->length();
    m_nextLevel = readWindow(m_next);
    m_gain = m_previousTarget = gainFor(m_nextLevel);
  }

  void read(Sample* buffer, int32_t frames) override {
    const int channelCount = channels();
    while (frames > 0) {
      if (m_served == currentFrames()) advance();
      const int32_t take = std::min(frames, currentFrames() - m_served);
      if (take <= 0) {  // past the end
        std::fill_n(buffer, static_cast<size_t>(frames) * channelCount, 0);
        m_position += frames;
        return;
      }
      std::copy_n(m_current.data() + static_cast<size_t>(m_served) * channelCount,
                  static_cast<size_t>(take) * channelCount, buffer);
      buffer += static_cast<size_t>(take) * channelCount;
      m_served += take;
      m_position += take;
      frames -= take;
    }
  }
  int32_t position() const override { return clampToInt32(m_position); }
  int32_t length() const override { return m_length; }

 private:
  int32_t currentFrames() const { return static_cast<int32_t>(m_current.size() / channels()); }
  int32_t gainFor(int level) const { return m_curve[level + kCurveOffset]; }

  // Reads the next window of the input (shorter at the end, empty past it)
  // and returns its level.
  int readWindow(std::vector<Sample>& window) {
    const int64_t frames = std::clamp<int64_t>(int64_t{m_length} - m_read, 0, m_window);
    window.resize(static_cast<size_t>(frames) * channels());
    if (frames == 0) return kSilenceDecibels;
    m_input->read(window.data(), static_cast<int32_t>(frames));
    m_read += frames;
    double sum = 0;
    for (Sample sample : window) {
      const double reduced = sample >> 5;
      sum += reduced * reduced;
    }
    return compressorWindowLevel(sum / static_cast<double>(window.size()));
  }

  void advance() {
    const int channelCount = channels();
    std::swap(m_current, m_next);
    const int currentLevel = m_nextLevel;
    m_nextLevel = readWindow(m_next);
    m_served = 0;
    const int32_t frames = currentFrames();
    if (frames == 0) return;
    // The last window has nothing after it: it aims at its own level.
    const int32_t target = gainFor(m_next.empty() ? currentLevel : m_nextLevel);
    int32_t step;  // per frame, 2^24 = unity
    if (target < m_gain) {
      step = static_cast<int32_t>((static_cast<int64_t>(target) - m_gain) / (m_window + m_window / 4));
    } else {
      const int64_t aim = (static_cast<int64_t>(m_previousTarget) + target) / 2;
      step = static_cast<int32_t>((aim - m_gain) / (2 * m_window));
    }
    m_previousTarget = target;
    Sample* sample = m_current.data();
    for (int32_t f = 0; f < frames; ++f) {
      for (int c = 0; c < channelCount; ++c, ++sample) *sample = scaleSample(*sample, m_gain);
      m_gain = clampToInt32(static_cast<int64_t>(m_gain) + step);
    }
  }

  SampleSourceRef m_input;
  const CompressorCurve m_curve;
  const int32_t m_window;
  int32_t m_length = 0;
  int64_t m_read = 0;
  int64_t m_position = 0;
  std::vector<Sample> m_current;  // processed, being served
  std::vector<Sample> m_next;     // read ahead, not yet processed
  int m_nextLevel = kSilenceDecibels;
  int32_t m_served = 0;
  int32_t m_gain;            // 2^24 = unity
  int32_t m_previousTarget;  // 2^24 = unity
};

class CompressorJob final : public EffectJob {
 public:
  explicit CompressorJob(const CompressorParams& params) : m_curve(compressorCurve(params)) {}
  std::string name() const override { return kCompressorName; }
  SampleSourceRef process(SampleSourceRef input) override {
    return makeRef<CompressorSource>(std::move(input), m_curve);
  }

 private:
  CompressorCurve m_curve;
};

}  // namespace

JobResult compressor(SoundBuffer& sound, int32_t start, int32_t end, const CompressorParams& params,
                     ProgressCallback* progress) {
  // Only one of the listed ratios runs the effect.
  if (params.CompressorRatio < 0 || params.CompressorRatio >= kCompressorRatioCount) return JobResult::Done;
  CompressorJob job(params);
  return runEffectJob(sound, start, end, job, progress);
}
