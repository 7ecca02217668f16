// Any bytes as a headerless GSM file.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "formats/formats.h"
#include "fuzz/source_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto source = openGsmSource(std::make_unique<MemoryByteSource>(data, size));
  fuzz::SourceLimits limits;
  // 160 samples per whole 33-byte frame.
  limits.maxLength = static_cast<int64_t>(size) / 33 * 160;
  // After a jump the decoder starts again from silence.
  limits.exactSeek = false;
  fuzz::exerciseSource(*source, limits);
  return 0;
}
