// Any bytes as what a decoder component left behind, and as a dictation
// file: the checks that come before an imported file is read.

#include <cstddef>
#include <cstdint>

#include "formats/importers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryByteSource decoded(data, size);
  decodedWaveIsComplete(decoded);
  MemoryByteSource dictation(data, size);
  dictationProblem(dictation);
  return 0;
}
