#pragma once
// What the benchmarks share: reading the scratch folder (and input file, when
// there is one) from the command line with the block store's files put in a
// folder of their own inside it, and timing the best of several runs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
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

// The shortest wall-clock time of `runs` runs after one warm-up run, in
// seconds; -1 when a run fails.
inline double bestOf(int runs, const std::function<bool()>& run) {
  if (!run()) return -1;
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}
