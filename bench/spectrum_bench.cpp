// The spectrogram of a whole ten-minute stereo file against sox drawing the
// spectrogram of the same file ("sox in.wav -n spectrogram") with as many
// columns of transforms as long: as the time-frequency window lays out a
// selection of everything, at 8,000 columns, and at sox's default size.
//
//   spectrum_bench <scratch folder> <input.wav>
//
// Wall-clock times, the best of three runs after one warm-up run of each
// side, so that both read a file already in the page cache. Ours starts from
// the file loaded into the block store (as the editor holds it); sox reads
// the WAVE file and also writes its PNG picture.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_input.h"
#include "bench/bench_support.h"
#include "core/core.h"
#include "effects/spectrogram.h"
#include "formats/sound_file_io.h"

namespace {

constexpr int kRuns = 3;

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "spectrum_bench", "input.wav", "spectrum-blocks");
  if (!start) return 2;
  SoundBuffer sound;
  if (!loadBenchInput(start->input, sound)) return 1;
  const int32_t frames = sound.totalFrames();

  // Each row: ours and sox with pictures of the same number of columns and
  // transforms of the same length over the whole file, both channels.
  const SpectrogramLayout window = spectrogramLayout(sound.sampleRate(), frames);
  const struct {
    const char* what;
    int order;
    int64_t columns;
    std::string soxOptions;
  } rows[] = {
      {"as the analysis window lays it out", window.order, window.columns,
       "-y " + std::to_string((1 << window.order) / 2 + 1) + " -x " + std::to_string(window.columns)},
      {"8,000 columns", window.order, 8000, "-y " + std::to_string((1 << window.order) / 2 + 1) + " -x 8000"},
      {"sox's default size", 9, 800, "-y 257 -x 800"},
  };
  const std::string picture = start->scratch + "/spectrum-bench.png";
  std::printf("%-36s %9s %9s %9s %9s %11s\n", "spectrogram of the whole file", "columns", "points", "ours",
              "sox", "sox / ours");
  for (const auto& row : rows) {
    const SpectrogramLayout layout{row.order, (1 << row.order) / 2, row.columns};
    Spectrogram spectrogram;
    const double ours = bestOf(kRuns, [&] {
      return computeSpectrogram(sound, 0, frames, layout, nullptr, spectrogram) == JobResult::Done;
    });
    const std::string command =
        "sox '" + start->input + "' -n spectrogram " + row.soxOptions + " -o '" + picture + "' 2>/dev/null";
    const double sox = bestOf(kRuns, [&] { return std::system(command.c_str()) == 0; });
    std::printf("%-36s %9lld %9d %8.2fs %8.2fs %10.2fx\n", row.what, static_cast<long long>(row.columns),
                1 << row.order, ours, sox, sox / ours);
  }
  return 0;
}
