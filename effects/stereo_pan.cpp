#include <algorithm>
#include <cmath>

#include "effects/amplitude_effects.h"
#include "effects/decibels.h"

StereoPanParams readStereoPanParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kStereoPanValue)};
}

void writeStereoPanParams(sys::SettingsStore& store, const StereoPanParams& params) {
  writeEffectParameter(store, kStereoPanValue, params.StereoPan);
}

ChannelMatrix stereoPanMatrix(int32_t stereoPan) {
  const double p = std::clamp(stereoPan, 0, 100) * 0.01;
  const double left = std::sqrt(1.0 - p) * std::sqrt(2.0) * kUnityGain;
  const double right = std::sqrt(p) * std::sqrt(2.0) * kUnityGain;
  // The cross terms are silence: a plain pan. Each side keeps only its own
  // channel, and the two gains keep the power of a centred sound constant
  // (left^2 + right^2 = 2) with 50 an exact identity. Folding the far
  // channel in would change the stereo picture at every setting and raise
  // the near side above +3 dB.
  const auto leftDecibels = static_cast<int8_t>(gainToDecibels(std::llround(left)));
  const auto rightDecibels = static_cast<int8_t>(gainToDecibels(std::llround(right)));
  constexpr int8_t kCross = kSilenceDecibels;
  return {{{leftDecibels, kCross}, {kCross, rightDecibels}}};
}

namespace {

class ChannelMatrixSource final : public SampleSource {
 public:
  ChannelMatrixSource(SampleSourceRef input, const ChannelMatrix& matrix)
      : SampleSource(input->sampleRate(), static_cast<int>(matrix.rows.size()), input->nominalPeak()),
        m_input(std::move(input)) {
    if (!m_input->good()) setStatus(m_input->status());
    const int inputs = m_input->channels();
    for (const auto& row : matrix.rows) {
      std::vector<int32_t> gains(inputs, 0);  // missing entries are silence
      for (size_t c = 0; c < row.size() && c < gains.size(); ++c) gains[c] = decibelGain(row[c]);
      m_gains.push_back(std::move(gains));
    }
  }

  void read(Sample* buffer, int32_t frames) override {
    if (frames <= 0) return;
    const int inputs = m_input->channels();
    m_chunk.resize(static_cast<size_t>(frames) * inputs);
    m_input->read(m_chunk.data(), frames);
    const Sample* in = m_chunk.data();
    for (int32_t f = 0; f < frames; ++f, in += inputs) {
      for (const auto& gains : m_gains) {
        int64_t sum = 0;
        for (int c = 0; c < inputs; ++c)
          if (gains[c] != 0) sum += scaleSample(in[c], gains[c]);
        *buffer++ = clampToInt32(sum);
      }
    }
  }
  int32_t position() const override { return m_input->position(); }
  int32_t length() const override { return m_input->length(); }
  void seek(int32_t frame) override { m_input->seek(frame); }

 private:
  SampleSourceRef m_input;
  std::vector<std::vector<int32_t>> m_gains;  // per output, per input: 2^24 = unity
  std::vector<Sample> m_chunk;
};

class ChannelMatrixJob final : public EffectJob {
 public:
  ChannelMatrixJob(const ChannelMatrix& matrix, std::string name) : m_matrix(matrix), m_name(std::move(name)) {}
  std::string name() const override { return m_name; }
  SampleSourceRef process(SampleSourceRef input) override {
    return makeRef<ChannelMatrixSource>(std::move(input), m_matrix);
  }

 private:
  const ChannelMatrix& m_matrix;
  std::string m_name;
};

}  // namespace

JobResult applyChannelMatrix(SoundBuffer& sound, int32_t start, int32_t end, const ChannelMatrix& matrix,
                             const std::string& name, ProgressCallback* progress) {
  // The result goes back into the same sound, so it keeps its channel count.
  if (matrix.rows.size() != sound.channels()) return JobResult::Failed;
  ChannelMatrixJob job(matrix, name);
  return runEffectJob(sound, start, end, job, progress);
}

JobResult stereoPan(SoundBuffer& sound, int32_t start, int32_t end, const StereoPanParams& params,
                    ProgressCallback* progress) {
  if (sound.channels() != 2) return JobResult::Failed;
  return applyChannelMatrix(sound, start, end, stereoPanMatrix(params.StereoPan), kStereoPanName, progress);
}
