#pragma once
// A source over samples in memory, for the tests of modules that link the
// core (header-only, as testkit itself does not). Positions before 0 or past
// the end read silence; the position keeps growing with every read.

#include <cstdint>
#include <utility>
#include <vector>

#include "core/sample_source.h"

namespace testkit {

class MemorySource : public SampleSource {
 public:
  MemorySource(std::vector<Sample> samples, int channels, int32_t rate, int32_t nominalPeak = 1 << 21)
      : SampleSource(rate, channels, nominalPeak),
        m_samples(std::move(samples)),
        m_length(static_cast<int32_t>(m_samples.size() / this->channels())) {}

  void read(Sample* buffer, int32_t frames) override {
    const int c = channels();
    for (int32_t f = 0; f < frames; ++f, ++m_position) {
      const bool inside = m_position >= 0 && m_position < m_length;
      for (int k = 0; k < c; ++k) *buffer++ = inside ? m_samples[static_cast<size_t>(m_position) * c + k] : 0;
    }
  }
  int32_t position() const override { return static_cast<int32_t>(m_position); }
  int32_t length() const override { return m_length; }
  void seek(int32_t frame) override { m_position = frame; }
  void setBad() { setStatus(SourceStatus::Corrupt); }

 private:
  std::vector<Sample> m_samples;
  int32_t m_length;
  int64_t m_position = 0;
};

}  // namespace testkit
