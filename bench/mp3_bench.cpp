// Opening a long MP3 file into the block store, as the editor does, timed
// against mpg123 decoding the same file to nothing in the same run.
//
//   mp3_bench <scratch folder> <input.mp3>
//
// bench/run.sh makes a one-hour input with lame and runs this. Times are
// wall-clock, the best of two runs after one warm-up run of each side. Our
// side writes every sample to the block store's files; mpg123 writes to
// /dev/null.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "core/core.h"
#include "formats/formats.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 2;

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "mp3_bench", "input.mp3", "blocks");
  if (!start) return 2;
  const std::string& input = start->input;
  int64_t frames = 0;
  const double ours = bestOf(kRuns, [&] {
    SoundBuffer sound;
    if (loadSoundFile(input, FormatContext{}, sound) != JobResult::Done) return false;
    frames = sound.totalFrames();
    return true;
  });
  const double theirs = bestOf(kRuns, [&] { return std::system(("mpg123 -q -s '" + input + "' > /dev/null").c_str()) == 0; });
  std::printf("input: %s, %lld frames\n", input.c_str(), static_cast<long long>(frames));
  if (ours <= 0 || theirs <= 0) {
    std::printf("%-34s failed\n", "decode MP3 into the block store");
    return 1;
  }
  std::printf("%-34s ours %7.2f s   mpg123 %7.2f s   our speed / mpg123's %5.2fx (goal >= 0.80x)\n",
              "decode MP3 into the block store", ours, theirs, theirs / ours);
  return 0;
}
