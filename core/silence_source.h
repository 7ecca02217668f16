#pragma once

#include "core/sample_source.h"

// The source handed out when nothing better can be: 11,025 Hz mono, length 0,
// silence on every read, carrying its creator's status.
class SilenceSource final : public SampleSource {
 public:
  explicit SilenceSource(SourceStatus status = SourceStatus::Good);
  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return 0; }
  int32_t length() const override { return 0; }
};

SampleSourceRef makeSilenceSource(SourceStatus status);
