#pragma once
// Bringing a sound to another rate and channel count before it is combined
// with a document (paste, insert file, mix). The editor hands the edit
// operations the converter to use.

#include <cstdint>

#include "core/sound_buffer.h"

class SoundConverter {
 public:
  virtual ~SoundConverter() = default;
  // Makes out the sound of in at sampleRate and channels. Returns Done,
  // Cancelled (progress said stop) or Failed; out changes only on Done.
  virtual JobResult convert(const SoundBuffer& in, int32_t sampleRate, int channels, SoundBuffer& out,
                            ProgressCallback* progress) = 0;
};

// A plain converter (FormatAdapterSource): channels copied or averaged,
// the rate by linear interpolation. The editor uses the resampler instead.
class LinearFallbackConverter final : public SoundConverter {
 public:
  JobResult convert(const SoundBuffer& in, int32_t sampleRate, int channels, SoundBuffer& out,
                    ProgressCallback* progress) override;
};
