// Tagging a long MP3 file that has no tags yet, so that the ID3v2 tag must
// go in front of all the audio: our tag writer against id3lib's id3v2 tool
// on the same file in the same run.
//
//   tags_bench <scratch folder> <input.mp3>
//
// bench/run.sh runs this on its one-hour MP3. Each run starts from a fresh
// untagged copy (the copying is not timed); times are wall-clock, the best
// of three runs of each side.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "formats/formats.h"

namespace {

constexpr int kRuns = 3;
const char* const kTitle = "A title too long for the old tag block";

// The best time of runs that each start from a fresh copy of input.
double bestFromFreshCopies(const std::string& input, const std::string& copy, const std::function<bool()>& tag) {
  double best = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    std::error_code error;
    std::filesystem::copy_file(input, copy, std::filesystem::copy_options::overwrite_existing, error);
    if (error) return -1;
    const auto start = std::chrono::steady_clock::now();
    if (!tag()) return -1;
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "tags_bench", "input.mp3", "blocks");
  if (!start) return 2;
  const std::string copy = sys::joinPath(start->scratch, "tagged.mp3");
  const FileTags tags{{{"TITLE", kTitle}, {"ARTIST", "Somebody"}, {"TRACKNUMBER", "3"}}, {}};
  const double ours = bestFromFreshCopies(start->input, copy, [&] { return writeFileTags(copy, tags); });
  const double theirs = bestFromFreshCopies(start->input, copy, [&] {
    return std::system(("id3v2 -t '" + std::string(kTitle) + "' -a Somebody -T 3 '" + copy + "'").c_str()) == 0;
  });
  std::filesystem::remove(copy);
  std::printf("input: %s, %.1f MB\n", start->input.c_str(), std::filesystem::file_size(start->input) / 1e6);
  if (ours <= 0 || theirs <= 0) {
    std::printf("%-34s failed\n", "tag an untagged MP3");
    return 1;
  }
  std::printf("%-34s ours %7.3f s   id3v2 %7.3f s   our speed / id3v2's %5.2fx\n", "tag an untagged MP3", ours, theirs,
              theirs / ours);
  return 0;
}
