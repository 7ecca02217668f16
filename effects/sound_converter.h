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

// A plain stand-in until the high-quality resampler is there. Channels: one
// channel is copied to all, several are averaged into one, otherwise output
// channel c takes input channel c (the last one where the input has fewer).
// Rate: linear interpolation between neighbouring frames, with the position
// kept as an exact fraction so that long sounds do not drift. The output has
// round(length x new rate / old rate) frames.
class LinearFallbackConverter final : public SoundConverter {
 public:
  JobResult convert(const SoundBuffer& in, int32_t sampleRate, int channels, SoundBuffer& out,
                    ProgressCallback* progress) override;
};
