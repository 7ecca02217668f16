// The delay and filter effects on a ten-minute stereo file against the
// closest sox effect on the same file, in one run: echo, reverb, high-pass,
// the 4,095-tap equalizer (sox fir with the same coefficients), chorus,
// flanger and phaser.
//
//   delay_filter_bench <scratch folder> <input.wav>
//
// Ours applies the effect to the whole sound (a copy sharing its blocks),
// writing the result into new blocks; sox reads the file and writes a WAVE
// file into the scratch folder. Wall-clock, the best of two runs after one
// warm-up run of each side.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_input.h"
#include "bench/bench_support.h"
#include "core/core.h"
#include "effects/delay_filter_effects.h"
#include "formats/sound_file_io.h"

namespace {

constexpr int kRuns = 2;

struct Row {
  const char* name;
  std::function<JobResult(SoundBuffer&)> ours;
  std::string soxEffect;
};

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start =
      startBench(argc, argv, "delay_filter_bench", "input.wav", "delay-filter-blocks");
  if (!start) return 2;
  SoundBuffer sound;
  if (!loadBenchInput(start->input, sound)) return 1;

  // The equalizer's curve, and the same filter's taps for sox.
  const EnvelopeCurve curve{{{0, 128}, {100, 200}, {160, 60}, {210, 150}, {255, 90}}};
  const EqualizerTable table = equalizerTable(curve, sound.sampleRate());
  const std::vector<int32_t> taps = equalizerTaps(table);
  const std::string coefficients = sys::joinPath(start->scratch, "equalizer-taps.txt");
  {
    std::ofstream file(coefficients);
    for (int j = -kEqualizerHalfTaps; j <= kEqualizerHalfTaps; ++j)
      file << static_cast<double>(taps[std::abs(j)]) / kEqualizerUnityTap << "\n";
  }

  const Row rows[] = {
      {"echo 800 ms 50 %", [](SoundBuffer& s) { return echo(s, 0, s.totalFrames(), {800, 50}); },
       "echo 1 1 800 0.5"},
      {"reverb", [](SoundBuffer& s) { return reverb(s, 0, s.totalFrames(), {100, 500}); }, "reverb"},
      {"high-pass 250 Hz", [](SoundBuffer& s) { return highPass(s, 0, s.totalFrames(), {250}); },
       "highpass 250 0.707q"},
      {"equalizer 4,095 taps", [&](SoundBuffer& s) { return equalize(s, 0, s.totalFrames(), table); },
       "fir '" + coefficients + "'"},
      {"chorus", [](SoundBuffer& s) {
         return modulatedDelay(s, 0, s.totalFrames(), {40, 500, 5, 70}, kChorusName);
       }, "chorus 0.7 0.9 40 0.5 0.25 2 -s"},
      {"flanger", [](SoundBuffer& s) {
         return modulatedDelay(s, 0, s.totalFrames(), {5, 500, 50, 75}, kFlangerName);
       }, "flanger"},
      {"phaser", [](SoundBuffer& s) { return phaser(s, 0, s.totalFrames(), {5, 100}); },
       "phaser 0.8 0.74 3 0.4 0.5 -s"},
  };

  const std::string output = sys::joinPath(start->scratch, "sox-out.wav");
  std::printf("%-22s %10s %10s %12s\n", "effect", "ours s", "sox s", "sox / ours");
  bool failed = false;
  for (const Row& row : rows) {
    const double ours = bestOf(kRuns, [&] {
      SoundBuffer work = sound;
      return row.ours(work) == JobResult::Done;
    });
    const std::string command = "sox -V1 '" + start->input + "' '" + output + "' " + row.soxEffect;
    const double sox = bestOf(kRuns, [&] { return std::system(command.c_str()) == 0; });
    failed |= ours < 0 || sox < 0;
    std::printf("%-22s %10.2f %10.2f %11.2fx\n", row.name, ours, sox, sox / ours);
    std::fflush(stdout);
  }
  std::remove(output.c_str());
  return failed ? 1 : 0;
}
