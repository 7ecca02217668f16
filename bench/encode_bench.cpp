// Saving a long document through the encoder components, as the editor does
// (samples piped into the encoder, written beside the target, then put in
// its place), timed against the same encoder reading the same WAVE file
// itself in the same run. Debian's lame and flac stand in for the
// components: the pipe and our reading of the block store are the difference.
//
//   encode_bench <scratch folder> <input.wav>
//
// bench/run.sh runs it on its one-hour stereo file. Wall-clock, the best of
// one run after a warm-up run of each side.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_input.h"
#include "bench/bench_support.h"
#include "formats/formats.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"

namespace {

constexpr int kRuns = 1;

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

void report(const char* what, const char* peer, double ours, double theirs) {
  if (ours <= 0 || theirs <= 0) {
    std::printf("%-30s failed\n", what);
    return;
  }
  std::printf("%-30s ours %7.2f s   %s %7.2f s   our speed / %s's %5.2fx (goal >= 0.90x)\n", what, ours, peer,
              theirs, peer, theirs / ours);
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "encode_bench", "input.wav", "blocks");
  if (!start) return 2;
  SoundBuffer sound;
  if (!loadBenchInput(start->input, sound)) return 1;

  auto settings = sys::makeMemorySettingsStore();
  // The defaults of a stereo save: MP3 128 kbps CBR, high quality, joint
  // stereo; FLAC level 4 in both channels.
  settings->write("FlacEncoder", "Channels", "2");
  FormatContext context;
  context.settings = settings.get();
  context.findComponent = [](const std::string& name) {
    return name == "mp3el" ? std::string("/usr/bin/lame") : name == "flacenc" ? std::string("/usr/bin/flac") : "";
  };
  const std::string quotedInput = "'" + start->input + "'";
  const std::string ourMp3 = sys::joinPath(start->scratch, "ours.mp3");
  const std::string peerMp3 = sys::joinPath(start->scratch, "lame.mp3");
  const std::string ourFlac = sys::joinPath(start->scratch, "ours.flac");
  const std::string peerFlac = sys::joinPath(start->scratch, "flac.flac");

  const double mp3 = bestOf(kRuns, [&] { return saveSoundFile(sound, ourMp3, context) == JobResult::Done; });
  const double lame = bestOf(kRuns, [&] {
    return run("lame -S -m j -b 128 -h " + quotedInput + " '" + peerMp3 + "' 2>/dev/null");
  });
  report("save as MP3 (128 kbps CBR)", "lame", mp3, lame);
  const double flac = bestOf(kRuns, [&] { return saveSoundFile(sound, ourFlac, context) == JobResult::Done; });
  const double peer = bestOf(kRuns, [&] {
    return run("flac -s -f --compression-level-4 -o '" + peerFlac + "' " + quotedInput);
  });
  report("save as FLAC (level 4)", "flac", flac, peer);
  for (const std::string& file : {ourMp3, peerMp3, ourFlac, peerFlac}) sys::deleteFile(file);
  return 0;
}
