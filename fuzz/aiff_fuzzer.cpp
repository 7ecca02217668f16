// Any bytes as an AIFF file.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "formats/formats.h"
#include "fuzz/source_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto source = openAiffSource(std::make_unique<MemoryByteSource>(data, size));
  fuzz::SourceLimits limits;
  limits.maxLength = static_cast<int64_t>(size) / source->channels();
  fuzz::exerciseSource(*source, limits);
  return 0;
}
