#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/delay_filter_effects.h"
#include "effects/fft_convolver.h"
#include "effects/filter_job.h"
#include "effects/filter_stages.h"
#include "sys/folders.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTopFrequency = 20000.0;
constexpr int kTaps = 2 * kEqualizerHalfTaps + 1;

// The bin of a frequency, not yet clamped to the table.
int64_t binOf(double frequency, int32_t sampleRate) {
  return static_cast<int64_t>(std::trunc(frequency * 2 / sampleRate * kEqualizerBins));
}

// The FIR over a source: each output frame n is sum over t = -2047..2047 of
// h[|t|] x[n + t] / 32768, with silence before the start and after the end.
// The convolvers run a block behind what they are given, so the first 2,047
// outputs of the stream (the filter's look-ahead) are dropped.
class EqualizerSource final : public SampleSource {
 public:
  EqualizerSource(SampleSourceRef input, const std::vector<int32_t>& taps)
      : SampleSource(input->sampleRate(), input->channels(), input->nominalPeak()), m_input(std::move(input)) {
    setStatus(m_input->status());
    std::vector<float> kernel(kTaps);
    for (int j = 0; j < kTaps; ++j)
      kernel[j] = static_cast<float>(taps[std::abs(j - kEqualizerHalfTaps)]) / kEqualizerUnityTap;
    for (int c = 0; c < channels(); ++c) m_convolvers.emplace_back(kernel);
    m_block = m_convolvers.front().blockSize();
    m_planarIn.resize(m_block);
    m_planarOut.resize(m_block);
    m_read.resize(static_cast<size_t>(m_block) * channels());
    restart(m_input->position());
  }

  void read(Sample* buffer, int32_t frames) override {
    const int channelCount = channels();
    while (frames > 0) {
      if (m_next == m_ready.size()) produce();
      const size_t take = std::min<size_t>(static_cast<size_t>(frames) * channelCount, m_ready.size() - m_next);
      std::copy(m_ready.begin() + m_next, m_ready.begin() + m_next + take, buffer);
      buffer += take;
      m_next += take;
      frames -= static_cast<int32_t>(take / channelCount);
      m_position += static_cast<int32_t>(take / channelCount);
    }
  }
  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_input->length(); }
  // The filter starts afresh at the frame sought, with silence before it.
  void seek(int32_t frame) override {
    m_input->seek(frame);
    restart(frame);
  }

 private:
  void restart(int32_t frame) {
    for (FftConvolver& convolver : m_convolvers) convolver.reset();
    m_position = frame;
    m_ready.clear();
    m_next = 0;
    m_skip = kEqualizerHalfTaps;
  }

  // One block of the input through every channel's convolver, into m_ready.
  void produce() {
    const int channelCount = channels();
    m_input->read(m_read.data(), m_block);
    const int drop = std::min(m_skip, m_block);
    m_skip -= drop;
    m_ready.assign(static_cast<size_t>(m_block - drop) * channelCount, 0);
    m_next = 0;
    for (int c = 0; c < channelCount; ++c) {
      for (int f = 0; f < m_block; ++f) m_planarIn[f] = static_cast<float>(m_read[f * channelCount + c]);
      m_convolvers[c].process(m_planarIn.data(), m_planarOut.data());
      for (int f = drop; f < m_block; ++f)
        m_ready[(f - drop) * channelCount + c] = clampToInt32(std::llround(m_planarOut[f]));
    }
  }

  SampleSourceRef m_input;
  std::vector<FftConvolver> m_convolvers;
  int m_block = 0;
  int m_skip = 0;
  int32_t m_position = 0;
  std::vector<Sample> m_read, m_ready;
  size_t m_next = 0;
  std::vector<float> m_planarIn, m_planarOut;
};

}  // namespace

double equalizerFrequency(int position) {
  return (std::pow(16.0, position / 255.0) - 1) * kTopFrequency / 15;
}

double equalizerPosition(double frequency) {
  return std::log(std::max(frequency, 0.0) * 15 / kTopFrequency + 1) * 255 / std::log(16.0);
}

EqualizerTable equalizerTable(const EnvelopeCurve& curve, int32_t sampleRate) {
  EqualizerTable table;
  const std::vector<EnvelopePoint>& points = curve.points;
  table.fill(points.empty() ? 128 : points.front().level);
  if (points.size() < 2) return table;
  const int32_t rate = sampleRate > 0 ? sampleRate : 44100;
  int64_t lastBin = -1;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const int64_t start = binOf(equalizerFrequency(points[i].position), rate);
    const int64_t end = binOf(equalizerFrequency(points[i + 1].position), rate);
    const int from = points[i].level, to = points[i + 1].level;
    // Stretches above half the rate are not in the table; one that starts
    // below it is cut at the last bin, its slope kept.
    if (start >= kEqualizerBins) break;
    for (int64_t bin = start; bin <= std::min<int64_t>(end, kEqualizerBins - 1); ++bin)
      table[bin] = static_cast<uint8_t>(end == start ? to : from + (bin - start) * (to - from) / (end - start));
    lastBin = std::min<int64_t>(end, kEqualizerBins - 1);
  }
  for (int64_t bin = lastBin + 1; bin < kEqualizerBins; ++bin) table[bin] = points.back().level;
  return table;
}

std::vector<int32_t> equalizerTaps(const EqualizerTable& table) {
  // cos(pi m / 2048) for m = 0..4095: k t wraps modulo 4096.
  constexpr int kPeriod = 2 * kEqualizerBins;
  std::vector<double> cosine(kPeriod);
  for (int m = 0; m < kPeriod; ++m) cosine[m] = std::cos(kPi * m / kEqualizerBins);
  std::vector<int32_t> taps(kEqualizerHalfTaps + 1);
  for (int t = 0; t <= kEqualizerHalfTaps; ++t) {
    // The cosine series with the ends at half weight, bin 2,048 (half the
    // rate) taken as bin 2,047: a flat table sums to nothing but at t = 0.
    double sum = table[0] * 0.5 + table[kEqualizerBins - 1] * 0.5 * ((t & 1) ? -1.0 : 1.0);
    for (int k = 1; k < kEqualizerBins; ++k) sum += table[k] * cosine[(k * t) % kPeriod];
    taps[t] = static_cast<int32_t>((static_cast<int64_t>(std::trunc(sum)) + 4) >> 3);
  }
  return taps;
}

SampleSourceRef equalizerStage(SampleSourceRef input, const EqualizerTable& table) {
  return makeRef<EqualizerSource>(std::move(input), equalizerTaps(table));
}

JobResult equalize(SoundBuffer& sound, int32_t start, int32_t end, const EqualizerTable& table,
                   ProgressCallback* progress) {
  const std::vector<int32_t> taps = equalizerTaps(table);
  return runFilter(sound, start, end, kEqualizerName, [&](SampleSourceRef input) -> SampleSourceRef {
    return makeRef<EqualizerSource>(std::move(input), taps);
  }, progress);
}

JobResult equalizer(SoundBuffer& sound, int32_t start, int32_t end, const EnvelopeCurve& curve,
                    ProgressCallback* progress) {
  return equalize(sound, start, end, equalizerTable(curve, sound.sampleRate()), progress);
}

std::string equalizerFilePath(const std::string& dataFolder) { return sys::joinPath(dataFolder, "equalizer.dat"); }
EnvelopeCurve loadEqualizerFile(const std::string& dataFolder) { return loadCurveFile(equalizerFilePath(dataFolder)); }
bool saveEqualizerFile(const std::string& dataFolder, const EnvelopeCurve& curve) {
  return saveCurveFile(equalizerFilePath(dataFolder), curve);
}
