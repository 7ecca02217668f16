#include "effects/resample_source.h"

#include <algorithm>

ResampleSource::ResampleSource(SampleSourceRef input, int32_t outputRate, int32_t inputRate)
    : SampleSource(outputRate, input->channels(), input->nominalPeak()), m_input(std::move(input)) {
  const int32_t from = inputRate != 0 ? inputRate : m_input->sampleRate();
  if (!m_input->good()) setStatus(m_input->status());
  if (from <= 0 || outputRate <= 0) {
    setStatus(SourceStatus::Corrupt);
    return;
  }
  m_path = resampling::conversionPath(from, outputRate);
  m_length = clampToInt32(resampling::convertedLength(m_input->length(), from, outputRate));
  m_reader = std::make_unique<SourcePlanarStream>(*m_input);
  PlanarStream* upstream = m_reader.get();
  for (size_t i = 1; i < m_path.size(); ++i) {
    const bool firstOfTwo = m_path.size() == 3 && i == 1;
    const resampling::StageFilter filter = firstOfTwo ? resampling::firstOfTwoStagesFilter(m_path[0], m_path[2])
                                                      : resampling::singleStageFilter(m_path[i - 1], m_path[i]);
    m_stages.push_back(std::make_unique<Resampler>(*upstream, channels(), m_path[i - 1], m_path[i], filter));
    upstream = m_stages.back().get();
  }
  m_output = std::make_unique<InterleavingPuller>(channels());
}

void ResampleSource::seek(int32_t frame) {
  m_position = frame;
  if (!m_reader) return;
  if (m_stages.empty()) {
    m_input->seek(frame);
  } else {
    // The last stage restarts the ones before it at the frames it needs.
    m_stages.back()->restart(frame);
  }
}

void ResampleSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  m_position = clampToInt32(static_cast<int64_t>(m_position) + frames);
  if (!m_reader) {
    std::fill_n(buffer, static_cast<size_t>(frames) * channels(), 0);
    return;
  }
  if (m_stages.empty()) {
    m_input->read(buffer, frames);
    return;
  }
  m_output->read(*m_stages.back(), buffer, frames);
}

SampleSourceRef makeResampleSource(SampleSourceRef source, int32_t rate) {
  if (source->sampleRate() == rate) return source;
  return makeRef<ResampleSource>(std::move(source), rate);
}
