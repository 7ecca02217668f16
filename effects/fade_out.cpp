#include "effects/envelope_job.h"

EnvelopeCurve fadeOutEnvelope() { return {{{0, 128}, {255, 0}}}; }

JobResult fadeOut(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  return runEnvelopeJob(sound, start, end, fadeOutEnvelope(), kFadeOutName, progress);
}

JobResult fadeOutAndTrim(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  if (!clampSelection(sound, start, end)) return JobResult::Done;
  JobResult result = runEnvelopeJob(sound, start, end, fadeOutEnvelope(), kFadeOutAndTrimName, progress);
  if (result == JobResult::Done) sound.truncateAt(end);
  return result;
}
