#pragma once
// What every reader fuzzer does with a source it was handed: read it in
// chunks up to a bounded number of frames, seek about, and stop the run with
// a report when the source breaks one of the promises of SampleSource.

#include <cstdint>

#include "core/sample_source.h"

namespace fuzz {

struct SourceLimits {
  // The most frames the input's bytes could hold for this reader.
  int64_t maxLength = 0;
  // True when a seek lands on exactly the samples a straight read gives
  // there (not so for decoders that restart from silence after a jump).
  bool exactSeek = true;
};

// Reads and seeks through source; traps on a broken promise.
void exerciseSource(SampleSource& source, const SourceLimits& limits);

// Stops the run with a message; libFuzzer keeps the input.
[[noreturn]] void brokenPromise(const char* what);

}  // namespace fuzz
