// Opening a long FLAC file into the block store through the decoder
// component, as the editor does, timed against the same decoder writing the
// WAVE file alone in the same run. The component here is Debian's flac,
// which takes the component's command line; the difference is what the
// import adds: waiting for the decoder, then reading its WAVE file into the
// block store.
//
//   import_bench <scratch folder> <input.flac>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "formats/formats.h"
#include "formats/sound_file_io.h"

namespace {

constexpr int kRuns = 2;

// A program around the import that registers Debian's flac as the decoder
// and never cancels.
class BenchImportHost final : public ImportHost {
 public:
  explicit BenchImportHost(std::string folder) : m_folder(std::move(folder)) {}
  void showImport(const std::string&, const std::string&) override {}
  void setProgress(int64_t, int64_t) override {}
  bool cancelled() override { return false; }
  std::string componentPath(const std::string& name) override { return name == "flacdec" ? "flac" : ""; }
  JobResult installComponent(const std::string&) override { return JobResult::Failed; }
  std::string outputFolder() override { return m_folder; }

 private:
  std::string m_folder;
};

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "import_bench", "input.flac", "blocks");
  if (!start) return 2;
  const std::string& input = start->input;
  BenchImportHost host(start->scratch);
  FormatContext context;
  context.importer = &host;
  int64_t frames = 0;
  const double ours = bestOf(kRuns, [&] {
    SoundBuffer sound;
    if (loadSoundFile(input, context, sound) != JobResult::Done) return false;
    frames = sound.totalFrames();
    return true;
  });
  const std::string alone = sys::joinPath(start->scratch, "flac-alone.wav");
  const double theirs = bestOf(kRuns, [&] {
    return std::system(("flac -s -d -f -o '" + alone + "' '" + input + "'").c_str()) == 0;
  });
  sys::deleteFile(alone);
  std::printf("input: %s, %lld frames\n", input.c_str(), static_cast<long long>(frames));
  if (ours <= 0 || theirs <= 0) {
    std::printf("%-34s failed\n", "import FLAC into the block store");
    return 1;
  }
  std::printf("%-34s ours %7.2f s   flac -d %7.2f s   our speed / flac's %5.2fx (goal >= 0.50x)\n",
              "import FLAC into the block store", ours, theirs, theirs / ours);
  return 0;
}
