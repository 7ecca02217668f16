// A batch run of 40 thirty-second stereo WAVE files through Normalize and
// the 250 Hz High-Pass Filter, saved as FLAC, against a shell loop of sox
// doing the same (norm, highpass) into FLAC on the same files.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "editor/model/batch_run.h"
#include "sys/folders.h"

namespace {

constexpr int kFiles = 40;
constexpr int kRuns = 2;

class QuietObserver : public BatchRunObserver {
 public:
  void fileFinished(size_t, const BatchFileResult& result) override {
    if (result.status != BatchFileStatus::Done) failed = true;
  }
  std::atomic<bool> failed = false;
};

bool run(const std::string& commandLine) { return std::system(commandLine.c_str()) == 0; }

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "batch_bench", nullptr, "batch-blocks");
  if (!start) return 2;
  const std::string inputs = sys::joinPath(start->scratch, "batch-input");
  const std::string ours = sys::joinPath(start->scratch, "batch-ours");
  const std::string peer = sys::joinPath(start->scratch, "batch-sox");
  if (!sys::createFolder(inputs) || !sys::createFolder(ours) || !sys::createFolder(peer)) return 1;

  std::vector<std::string> files;
  for (int i = 0; i < kFiles; ++i) {
    const std::string path = sys::joinPath(inputs, "take" + std::to_string(i) + ".wav");
    if (!sys::fileExists(path) &&
        !run("sox -n -r 44100 -c 2 -b 16 '" + path + "' synth 30 sine " + std::to_string(200 + 20 * i) +
             " pinknoise gain -" + std::to_string(6 + i % 10)))
      return 1;
    files.push_back(path);
  }

  auto settings = sys::makeMemorySettingsStore();
  settings->write("FlacEncoder", "Channels", "2");  // stereo, as sox keeps it
  const BatchDefaults defaults{*settings, start->scratch};
  BatchRunRequest request;
  request.inputs = files;
  request.commands = {{4, {100, 0}}, {5, {250, 0, 0, 0}}};  // Normalize 100 %, High-Pass 250 Hz
  request.sameFormat = false;
  const BatchOutputSettings output{false, 8, false, ours};
  request.plans = planBatchOutputs(files, output, [](const std::string&) { return false; });
  FormatContext context;
  context.settings = settings.get();
  context.findComponent = [](const std::string& name) {
    return name == "flacenc" ? std::string("/usr/bin/flac") : std::string();
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  request.workers.assign(cores, context);

  const double oursSeconds = bestOf(kRuns, [&] {
    QuietObserver observer;
    std::atomic<bool> cancel = false;
    return runBatch(request, defaults, observer, cancel) == JobResult::Done && !observer.failed;
  });
  const double soxSeconds = bestOf(kRuns, [&] {
    return run("cd '" + inputs + "' && for f in *.wav; do sox \"$f\" '" + peer +
               "'/\"${f%.wav}.flac\" norm highpass 250 || exit 1; done");
  });
  std::printf("batch: %d x 30 s stereo WAVE, Normalize + High-Pass 250 Hz, to FLAC (%u workers)\n", kFiles, cores);
  std::printf("  ours %.2f s, sox loop %.2f s, sox / ours %.2f\n", oursSeconds, soxSeconds,
              oursSeconds > 0 ? soxSeconds / oursSeconds : 0.0);
  for (const std::string& folder : {ours, peer}) {
    for (const std::string& name : sys::listFiles(folder)) sys::deleteFile(sys::joinPath(folder, name));
    sys::removeEmptyFolder(folder);
  }
  return oursSeconds > 0 && soxSeconds > 0 ? 0 : 1;
}
