// Speed Change (time stretching with the pitch kept) against sox's tempo
// effect, in the same run: the time to stretch a long file to half and to
// one and a half times the speed, WAVE in and out.
//
//   stretch_bench <scratch folder> <input.wav>
//
// bench/conversion/run.sh makes the input and runs this.

#include "bench/conversion/conversion_bench_support.h"
#include "effects/speed_source.h"

using namespace convbench;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: stretch_bench <scratch folder> <input.wav>\n");
    return 2;
  }
  const std::string scratch = argv[1], input = argv[2];
  {
    OpenedSound opened = openSoundFile(input, FormatContext{});
    if (opened.result != 0) {
      std::fprintf(stderr, "cannot open %s\n", input.c_str());
      return 1;
    }
    std::printf("Speed Change: %s, %.1f s at %d Hz, %d channels, WAVE in and out; frames of %d\n", input.c_str(),
                opened.source->length() / static_cast<double>(opened.source->sampleRate()),
                opened.source->sampleRate(), opened.source->channels(),
                stretching::transformSize(opened.source->sampleRate()));
  }
  for (const char* factor : {"0.5", "1.5"}) {
    const std::string ours = scratch + "/ours-speed-" + factor + ".wav";
    const std::string theirs = scratch + "/sox-tempo-" + factor + ".wav";
    const double k = std::atof(factor);
    const Timing ourTime = bestOf(
        [&] { return convertFile(input, ours, [&](SampleSourceRef s) { return makeRef<SpeedSource>(s, k); }); },
        false);
    const Timing soxTime =
        bestOf([&] { return shell("sox " + quoted(input) + " " + quoted(theirs) + " tempo " + factor); }, true);
    const std::string what = std::string("speed ") + factor + " (sox tempo " + factor + ")";
    printComparison(what.c_str(), ourTime, soxTime, 1.0);
  }
  return 0;
}
