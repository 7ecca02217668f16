// Opening a long WAVE file and drawing it whole, as the editor does: the
// file is loaded into the block store, then the full view's peak columns
// are computed from the blocks' overview files. Compared with sox reading
// the same file once for its statistics.
//
// Usage: open_and_draw_bench SCRATCH_FOLDER INPUT.wav

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/block_store.h"
#include "editor/model/peaks.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"
#include "bench/bench_support.h"

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double timeCommand(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "open_and_draw_bench", "input.wav", "draw-blocks");
  if (!start) return 2;
  const std::string& input = start->input;
  constexpr int kColumns = 1024;
  double best = 1e9, bestSox = 1e9, bestDraw = 1e9;
  int64_t overviewBytes = 0, sampleBytes = 0;
  for (int run = 0; run < 3; ++run) {
    auto start = std::chrono::steady_clock::now();
    SoundBuffer sound;
    FormatContext context;
    if (loadSoundFile(input, context, sound) != JobResult::Done) return 1;
    auto drawStart = std::chrono::steady_clock::now();
    std::vector<uint8_t> upper(kColumns), lower(kColumns);
    PeakRequest request{0, static_cast<double>(sound.totalFrames()) / kColumns, 0, kColumns, 0, false,
                        sound.channels()};
    std::atomic<bool> stop{false};
    OverviewReadStats stats;
    computeOverviewPeaks(sound, request, upper.data(), lower.data(), stop, &stats);
    bestDraw = std::min(bestDraw, seconds(drawStart));
    best = std::min(best, seconds(start));
    overviewBytes = stats.bytesRead;
    sampleBytes = static_cast<int64_t>(sound.totalFrames()) * sound.channels() * 4;
    bestSox = std::min(bestSox, timeCommand("sox '" + input + "' -n stat 2>/dev/null"));
  }
  std::printf("open and draw the whole file: %.2f s (of which drawing %.3f s)\n", best, bestDraw);
  std::printf("sox -n stat on the same file: %.2f s\n", bestSox);
  std::printf("ratio (sox time / ours): %.2f\n", bestSox / best);
  std::printf("bytes read to draw the full view: %lld of %lld sample bytes (1/%.0f)\n",
              static_cast<long long>(overviewBytes), static_cast<long long>(sampleBytes),
              overviewBytes ? static_cast<double>(sampleBytes) / overviewBytes : 0.0);
  purgeWorkingFolder();
  return 0;
}
