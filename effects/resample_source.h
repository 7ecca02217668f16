#pragma once
// A source that hands on another source's frames at a different sample rate
// (windowed-sinc stages, see resampler.h). Used by Convert Sample Rate and by
// the format conversion of pasted sounds, by Speed and Pitch Change (which
// reads its input as if sampled at another rate), and by playback.

#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "effects/resampler.h"

class ResampleSource final : public SampleSource {
 public:
  // input's frames, taken as sampled at inputRate (its own rate when 0),
  // at outputRate. A rate of 0 or less gives status 3 and silence.
  ResampleSource(SampleSourceRef input, int32_t outputRate, int32_t inputRate = 0);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }
  void seek(int32_t frame) override;

  // Stages between input and output: 0 when the rates are equal.
  int stageCount() const { return static_cast<int>(m_stages.size()); }
  // The rates passed through, input first.
  const std::vector<int32_t>& ratePath() const { return m_path; }

 private:
  SampleSourceRef m_input;
  int32_t m_position = 0;
  int32_t m_length = 0;
  std::vector<int32_t> m_path;
  std::unique_ptr<SourcePlanarStream> m_reader;
  std::vector<std::unique_ptr<Resampler>> m_stages;
  std::unique_ptr<InterleavingPuller> m_output;
};

// source at rate: the source itself when it is already there.
SampleSourceRef makeResampleSource(SampleSourceRef source, int32_t rate);
