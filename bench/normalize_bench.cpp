// Normalize and Amplify on a long file: the peak scan of Normalize timed
// against sox measuring the same file's extremes ("sox in.wav -n stat") in
// the same run, and Amplify on one minute against one hour of the same
// sound, which should take the same time (it changes span gains only).
//
//   normalize_bench <scratch folder> <input.wav>
//
// Scan times are wall-clock, the best of three runs after one warm-up run of
// each side, so that both read files already in the page cache. Amplify
// times are the median of many repetitions.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/core.h"
#include "effects/amplitude_effects.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 3;
constexpr int kAmplifyRepetitions = 2001;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Amplify by 150 % over all but the first and last second, on a fresh copy
// each time (copying is outside the timing): median microseconds.
double amplifyMicroseconds(const SoundBuffer& sound) {
  std::vector<double> times;
  const int32_t margin = sound.sampleRate();
  for (int i = 0; i < kAmplifyRepetitions; ++i) {
    SoundBuffer work = sound;
    const auto start = Clock::now();
    amplify(work, margin, work.totalFrames() - margin, {150});
    times.push_back(secondsSince(start));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2] * 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "normalize_bench", "input.wav", "normalize-blocks");
  if (!start) return 2;
  const std::string& input = start->input;
  SoundBuffer hour;
  if (loadSoundFile(input, FormatContext{}, hour) != JobResult::Done) {
    std::fprintf(stderr, "cannot load %s\n", input.c_str());
    return 1;
  }
  const int32_t frames = hour.totalFrames();
  std::printf("input: %s, %d frames (%.1f min) at %d Hz, %d channels\n\n", input.c_str(), frames,
              frames / 60.0 / hour.sampleRate(), hour.sampleRate(), hour.channels());

  int64_t peak = 0;
  const double ourScan = bestOf(kRuns, [&] { return scanPeak(hour, 0, frames, peak) == JobResult::Done; });
  const std::string statCommand = "sox '" + input + "' -n stat 2>/dev/null";
  const double soxScan = bestOf(kRuns, [&] { return std::system(statCommand.c_str()) == 0; });
  std::printf("peak scan of the whole file: ours %.2f s, sox stat %.2f s, our speed / sox's %.2fx (peak %lld)\n",
              ourScan, soxScan, soxScan / ourScan, static_cast<long long>(peak));
  const double ourNormalize = bestOf(kRuns, [&] {
    SoundBuffer work = hour;
    return normalize(work, 0, frames, {100}) == JobResult::Done;
  });
  std::printf("normalize of the whole file:  ours %.2f s, our speed / sox stat's %.2fx\n\n", ourNormalize,
              soxScan / ourNormalize);

  SoundBuffer minute;
  minute.extractRange(hour, 0, 60 * hour.sampleRate());
  const double amplifyMinute = amplifyMicroseconds(minute);
  const double amplifyHour = amplifyMicroseconds(hour);
  std::printf("amplify: 1 min %.2f us, 1 h %.2f us, hour / minute %.2fx (goal: about 1)\n", amplifyMinute,
              amplifyHour, amplifyHour / amplifyMinute);
  return 0;
}
