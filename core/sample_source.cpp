#include "core/sample_source.h"

#include <algorithm>
#include <vector>

SampleSource::SampleSource(int32_t sampleRate, int channels, int32_t nominalPeak)
    : m_nominalPeak(nominalPeak) {
  setFormat(sampleRate, channels);
}

void SampleSource::setFormat(int32_t sampleRate, int channels) {
  m_sampleRate = sampleRate;
  if (sampleRate <= 0) {
    m_sampleRate = 44100;
    m_status = SourceStatus::Corrupt;
  }
  m_channels = static_cast<uint8_t>(channels);
  if (channels <= 0 || channels > 255) {
    m_channels = 1;
    m_status = SourceStatus::Corrupt;
  }
}

SampleSink::SampleSink(int32_t sampleRate, int channels)
    : m_sampleRate(sampleRate), m_channels(static_cast<uint8_t>(channels)) {
  if (channels <= 0 || channels > 255) {
    m_channels = 1;
    m_status = SourceStatus::CannotCreate;
  }
}

SourceStatus SampleSink::close() {
  if (!m_closed) {
    m_closed = true;
    commit();
  }
  return m_status;
}

JobResult readInChunks(SampleSource& source, int64_t frames, ProgressCallback* progress,
                       const std::function<bool(const Sample*, int32_t)>& visit) {
  std::vector<Sample> chunk(static_cast<size_t>(kProcessChunkFrames) * source.channels());
  int64_t done = 0;
  while (done < frames) {
    if (progress && !progress->progress(done, frames)) return JobResult::Cancelled;
    auto count = static_cast<int32_t>(std::min<int64_t>(kProcessChunkFrames, frames - done));
    source.read(chunk.data(), count);
    if (!visit(chunk.data(), count)) return JobResult::Failed;
    done += count;
  }
  if (progress && !progress->progress(done, frames)) return JobResult::Cancelled;
  return JobResult::Done;
}

JobResult copySourceToSink(SampleSource& source, SampleSink& sink, int64_t frames,
                           ProgressCallback* progress) {
  // Frames of another layout would be misread by the sink.
  if (source.channels() != sink.channels()) return JobResult::Failed;
  return readInChunks(source, frames, progress, [&sink](const Sample* samples, int32_t count) {
    sink.write(samples, count);
    return sink.good();
  });
}
