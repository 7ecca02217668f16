#include "core/silence_source.h"

#include <algorithm>

SilenceSource::SilenceSource(SourceStatus status) : SampleSource(11025, 1, 1 << 21) { setStatus(status); }

void SilenceSource::read(Sample* buffer, int32_t frames) {
  if (frames > 0) std::fill_n(buffer, static_cast<size_t>(frames) * channels(), 0);
}

SampleSourceRef makeSilenceSource(SourceStatus status) { return makeRef<SilenceSource>(status); }
