#pragma once
// Writes a new block and, when closed, makes it the whole content of its
// target buffer. A writer that could not number, create or write its block
// has status 1 and leaves the target as it was.

#include <vector>

#include "core/peak_overview.h"
#include "core/sound_buffer.h"
#include "sys/file.h"

class BlockWriter final : public SampleSink {
 public:
  // The target must outlive the writer.
  BlockWriter(SoundBuffer& target, int32_t sampleRate, int channels);
  ~BlockWriter() override;

  void write(const Sample* buffer, int32_t frames) override;
  void seek(int32_t frame) override;
  BlockNumber block() const { return m_block; }

 protected:
  void commit() override;

 private:
  SoundBuffer& m_target;
  BlockNumber m_block;
  sys::File m_samples;
  sys::File m_peaks;
  PeakOverview m_overview;
  std::vector<uint8_t> m_peakBytes;
};
