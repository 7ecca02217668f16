#include "effects/envelope_job.h"

EnvelopeCurve fadeInEnvelope() { return {{{0, 0}, {255, 128}}}; }

JobResult fadeIn(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  return runEnvelopeJob(sound, start, end, fadeInEnvelope(), kFadeInName, progress);
}
