#pragma once
// The running peak record of a block being written: per channel the largest
// and the most negative sample of the current 256 frames, written as one byte
// each in units of 2,048 sample steps (255 = full scale).

#include <cstdint>
#include <vector>

#include "core/sample.h"

class PeakOverview {
 public:
  explicit PeakOverview(int channels);
  // Feeds frames; complete records are appended to out.
  void add(const Sample* frames, int32_t count, std::vector<uint8_t>& out);
  // Appends the partly filled record, if any.
  void flush(std::vector<uint8_t>& out);
  // Starts a new record that already holds framesInRecord frames (after a seek).
  void restart(int32_t framesInRecord);
  int32_t framesInRecord() const { return m_framesInRecord; }

  static uint8_t peakByte(Sample peakMagnitude);

 private:
  void emit(std::vector<uint8_t>& out);
  int m_channels;
  int32_t m_framesInRecord = 0;
  std::vector<Sample> m_maximum;
  std::vector<Sample> m_minimum;
};
