#pragma once
// The frames start ... end - 1 of a source at their own frame numbers, so
// that positions stay those of the whole sound: it starts at start, its
// length is end, seeks stay within start ... end, and it gives silence from
// end on. Playing a selection this way covers exactly the selection.

#include "core/sample_source.h"

class RangeSource final : public SampleSource {
 public:
  RangeSource(SampleSourceRef inner, int32_t start, int32_t end);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return clampToInt32(m_position); }
  int32_t length() const override { return m_end; }
  void seek(int32_t frame) override;

 private:
  SampleSourceRef m_inner;
  int32_t m_start;
  int32_t m_end;
  int64_t m_position;
};
