// Any bytes as a WAVE file whose tags are read.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "formats/formats.h"
#include "fuzz/source_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryByteSource bytes(data, size);
  TagSet tags;
  const bool isWave = readWaveTags(bytes, tags);
  const bool header = size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
  if (isWave != header) fuzz::brokenPromise("tag reader misjudged the RIFF header");
  for (const auto& [name, value] : tags) {
    // Every text comes out of the file, cut at its first zero.
    if (value.empty() || value.size() > size) fuzz::brokenPromise("tag text of impossible length");
    if (value.find('\0') != std::string::npos) fuzz::brokenPromise("tag text holds a zero");
    if (name.empty()) fuzz::brokenPromise("tag without a name");
  }
  return 0;
}
