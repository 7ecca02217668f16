#pragma once
// What every benchmark does first: read its scratch folder (and input file,
// when it takes one) from the command line and put the block store's files
// in a folder of its own inside the scratch folder.

#include <cstdio>
#include <optional>
#include <string>

#include "core/core.h"
#include "sys/folders.h"

struct BenchStart {
  std::string scratch;
  std::string input;  // empty for a benchmark that makes its own sound
};

// `inputName` is how the usage line names the input ("input.wav"), or
// nullptr when the benchmark takes none. Prints the usage or the failure.
inline std::optional<BenchStart> startBench(int argc, char** argv, const char* name, const char* inputName,
                                            const char* blockFolder) {
  const int arguments = inputName ? 3 : 2;
  if (argc != arguments) {
    std::fprintf(stderr, "usage: %s <scratch folder>%s%s%s\n", name, inputName ? " <" : "",
                 inputName ? inputName : "", inputName ? ">" : "");
    return std::nullopt;
  }
  BenchStart start{argv[1], inputName ? argv[2] : ""};
  if (!setWorkingFolder(sys::joinPath(start.scratch, blockFolder))) {
    std::fprintf(stderr, "cannot use %s for blocks\n", start.scratch.c_str());
    return std::nullopt;
  }
  return start;
}
