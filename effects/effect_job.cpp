#include "effects/effect_job.h"

#include <algorithm>
#include <vector>

bool clampSelection(const SoundBuffer& sound, int32_t& start, int32_t& end) {
  if (end < start) return false;
  start = std::max(start, 0);
  end = std::min(end, sound.totalFrames());
  return start < end;
}

JobResult runEffectJob(SoundBuffer& sound, int32_t start, int32_t end, EffectJob& job, ProgressCallback* progress) {
  if (!clampSelection(sound, start, end)) return JobResult::Done;
  const int32_t length = end - start;
  SoundBuffer selection;
  if (!selection.extractRange(sound, start, end)) return JobResult::Failed;
  SampleSourceRef input = selection.openReader();
  if (!input->good()) return JobResult::Failed;

  const int passes = job.hasAnalysisPass() ? 2 : 1;
  if (passes == 2) {
    ProgressStage stage(progress, 0, passes);
    JobResult analysed = job.analyse(*input, &stage);
    if (analysed != JobResult::Done) return analysed;
    input->seek(0);
  }
  SampleSourceRef processed = job.process(input);
  if (!processed || !processed->good() || processed->channels() != sound.channels() ||
      processed->sampleRate() != sound.sampleRate())
    return JobResult::Failed;

  // The output buffer must outlive its writer: declared first, destroyed last.
  SoundBuffer output;
  JobResult result;
  {
    SampleSinkRef writer = output.openWriter(sound.sampleRate(), sound.channels());
    if (!writer->good()) return JobResult::Failed;
    ProgressStage stage(progress, passes - 1, passes);
    result = copySourceToSink(*processed, *writer, length, &stage);
    // A stage that fails while it runs (a plug-in refusing a block) fails the job.
    if (result == JobResult::Done && !processed->good()) result = JobResult::Failed;
    if (writer->close() != SourceStatus::Good && result == JobResult::Done) result = JobResult::Failed;
  }
  if (result != JobResult::Done) return result;
  if (output.totalFrames() != length || !sound.replaceRange(start, end, output)) return JobResult::Failed;
  return JobResult::Done;
}

KernelSource::KernelSource(SampleSourceRef input)
    : SampleSource(input->sampleRate(), input->channels(), input->nominalPeak()), m_input(std::move(input)) {
  setStatus(m_input->status());
}

void KernelSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  int32_t first = m_input->position();
  m_input->read(buffer, frames);
  processChunk(buffer, first, frames);
}
