#pragma once
// Shared by the conversion benchmarks: timing of our code and of sox in the
// same run (wall clock and processor time, best of three after a warm-up),
// sound files through our readers and writers, and an in-memory source.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/core.h"
#include "formats/formats.h"

namespace convbench {

struct Timing {
  double wall = -1;       // seconds
  double processor = -1;  // user + system seconds of this process or of sox
};

inline double processorSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec * 1e-6;
}

// The best of three runs after one untimed run; a shared machine only ever
// makes a run slower. child: the work is done by a child process (sox).
inline Timing bestOf(const std::function<bool()>& run, bool child) {
  Timing best;
  if (!run()) return best;
  best.wall = best.processor = 1e30;
  const int who = child ? RUSAGE_CHILDREN : RUSAGE_SELF;
  for (int i = 0; i < 3; ++i) {
    const double processor = processorSeconds(who);
    const auto start = std::chrono::steady_clock::now();
    if (!run()) return {};
    best.wall = std::min(best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    best.processor = std::min(best.processor, processorSeconds(who) - processor);
  }
  return best;
}

inline bool shell(const std::string& command) {
  if (std::system(command.c_str()) == 0) return true;
  std::fprintf(stderr, "failed: %s\n", command.c_str());
  return false;
}

inline std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Prints our time against sox's and the ratio of their speeds (sox's time /
// ours: above 1 we are faster), by processor time, which other work on the
// machine disturbs least, and by wall clock.
inline void printComparison(const char* what, Timing ours, Timing sox, double goal) {
  if (ours.wall < 0 || sox.wall < 0) {
    std::printf("%-30s failed\n", what);
    return;
  }
  std::printf("%-30s cpu: ours %6.2f s, sox %6.2f s, speed ratio %5.2fx   wall: ours %6.2f s, sox %6.2f s, %5.2fx"
              "   (goal >= %.2fx)\n",
              what, ours.processor, sox.processor, sox.processor / ours.processor, ours.wall, sox.wall,
              sox.wall / ours.wall, goal);
}

// Reads path through our WAVE reader, hands the source to wrap, and writes
// what comes out as 16-bit WAVE through our writer.
inline bool convertFile(const std::string& path, const std::string& output,
                        const std::function<SampleSourceRef(SampleSourceRef)>& wrap) {
  OpenedSound opened = openSoundFile(path, FormatContext{});
  if (opened.result != 0) return false;
  SampleSourceRef source = wrap(opened.source);
  if (!source || !source->good()) return false;
  SampleSinkRef sink = makeWavePcmSink(output, source->sampleRate(), source->channels(), 2);
  if (copySourceToSink(*source, *sink, source->length()) != JobResult::Done) return false;
  return sink->close() == SourceStatus::Good;
}

class MemorySource final : public SampleSource {
 public:
  MemorySource(std::vector<Sample> samples, int32_t rate) : SampleSource(rate, 1, 1 << 21), m_samples(std::move(samples)) {}
  void read(Sample* buffer, int32_t frames) override {
    for (int32_t f = 0; f < frames; ++f, ++m_position)
      buffer[f] = m_position >= 0 && m_position < length() ? m_samples[static_cast<size_t>(m_position)] : 0;
  }
  int32_t position() const override { return static_cast<int32_t>(m_position); }
  int32_t length() const override { return static_cast<int32_t>(m_samples.size()); }
  void seek(int32_t frame) override { m_position = frame; }

 private:
  std::vector<Sample> m_samples;
  int64_t m_position = 0;
};

}  // namespace convbench
