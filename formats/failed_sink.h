#pragma once
// A sink that could not be made: status 1, writes ignored.

#include "core/sample_source.h"

class FailedSink final : public SampleSink {
 public:
  FailedSink(int32_t sampleRate, int channels) : SampleSink(sampleRate, channels) {
    setStatus(SourceStatus::CannotCreate);
  }
  void write(const Sample*, int32_t) override {}

 protected:
  void commit() override {}
};
