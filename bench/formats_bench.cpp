// Loading a long WAVE file into the block store, saving it back, and editing
// a buffer of many spans, timed against sox doing the same conversions on the
// same file in the same run.
//
//   formats_bench <scratch folder> <input.wav>
//
// bench/run.sh makes the input and runs this. Times are wall-clock, the best
// of three runs after one warm-up run of each side, so that both read a file
// already in the page cache.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/core.h"
#include "formats/formats.h"
#include "sys/folders.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 3;
constexpr int kSpans = 10000;
// Span operations are timed this many times each; the median is shown.
constexpr int kSpanRepetitions = 200;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool shell(const std::string& command) {
  if (std::system(command.c_str()) == 0) return true;
  std::fprintf(stderr, "failed: %s\n", command.c_str());
  return false;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

void printComparison(const char* what, double ours, double sox) {
  if (ours <= 0 || sox <= 0) {
    std::printf("%-34s failed\n", what);
    return;
  }
  std::printf("%-34s ours %7.2f s   sox %7.2f s   our speed / sox's %5.2fx (goal >= 1.50x)\n", what, ours, sox,
              sox / ours);
}

bool loadIntoBuffer(const std::string& path, SoundBuffer& buffer) {
  OpenedSound opened = openSoundFile(path, FormatContext{});
  if (opened.result != 0) return false;
  SampleSource& source = *opened.source;
  SampleSinkRef writer = buffer.openWriter(source.sampleRate(), source.channels());
  if (copySourceToSink(source, *writer, source.length()) != JobResult::Done) return false;
  return writer->close() == SourceStatus::Good && buffer.totalFrames() == source.length();
}

bool saveBuffer(const SoundBuffer& buffer, const std::string& path) {
  SampleSourceRef reader = buffer.openReader();
  SampleSinkRef sink = makeWavePcmSink(path, buffer.sampleRate(), buffer.channels(), 2);
  if (copySourceToSink(*reader, *sink, buffer.totalFrames()) != JobResult::Done) return false;
  return sink->close() == SourceStatus::Good;
}

// Cuts the buffer into kSpans spans by deleting one frame at evenly spread
// places, from the end backwards so that the places stay where they were.
void cutIntoSpans(SoundBuffer& buffer) {
  const int64_t total = buffer.totalFrames();
  for (int64_t i = kSpans - 1; i >= 1; --i) {
    const auto at = static_cast<int32_t>(total * i / kSpans);
    buffer.deleteRange(at, at + 1);
  }
}

struct SpanTimes {
  double deleteRange = 0;
  double insertBuffer = 0;
  double extractRange = 0;
  double copy = 0;
  size_t spans = 0;
};

// The median of the samples, in microseconds: other work on a shared
// machine lengthens some repetitions, never shortens them.
double medianMicroseconds(std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2] * 1e6;
}

// Microseconds per operation. Each deletion is put back by an insertion of
// what it removed, so the buffer keeps about kSpans spans throughout.
SpanTimes timeSpanOperations(const SoundBuffer& original) {
  SoundBuffer work = original;
  SpanTimes times;
  times.spans = work.spans().size();
  const int32_t total = work.totalFrames();
  uint32_t random = 12345;
  const auto nextPlace = [&] {
    random = random * 1103515245u + 12345u;
    return static_cast<int32_t>((static_cast<uint64_t>(random >> 8) * (total - 2000)) >> 24);
  };
  std::vector<double> deletes, inserts, extracts, copies;
  size_t keep = 0;  // keeps the copies from being optimised away
  for (int i = 0; i < kSpanRepetitions; ++i) {
    const int32_t at = nextPlace();
    const int32_t end = at + 1000;
    SoundBuffer removed;
    removed.extractRange(work, at, end);

    auto start = Clock::now();
    work.deleteRange(at, end);
    deletes.push_back(secondsSince(start));

    start = Clock::now();
    work.insertBuffer(at, removed);
    inserts.push_back(secondsSince(start));

    SoundBuffer piece;
    start = Clock::now();
    piece.extractRange(work, total / 4, total / 4 + total / 10);
    extracts.push_back(secondsSince(start));
    keep += piece.spans().size();

    start = Clock::now();
    {
      SoundBuffer copy = work;
      keep += copy.spans().size();
    }
    copies.push_back(secondsSince(start));
  }
  if (keep == 0) std::printf("(nothing was copied)\n");
  times.deleteRange = medianMicroseconds(deletes);
  times.insertBuffer = medianMicroseconds(inserts);
  times.extractRange = medianMicroseconds(extracts);
  times.copy = medianMicroseconds(copies);
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "formats_bench", "input.wav", "blocks");
  if (!start) return 2;
  const std::string& scratch = start->scratch;
  const std::string& input = start->input;
  const std::string soxRaw = sys::joinPath(scratch, "sox-out.raw");
  const std::string soxBack = sys::joinPath(scratch, "sox-back.wav");
  const std::string ourBack = sys::joinPath(scratch, "our-back.wav");

  SoundBuffer buffer;
  {
    OpenedSound opened = openSoundFile(input, FormatContext{});
    if (opened.result != 0) {
      std::fprintf(stderr, "cannot open %s\n", input.c_str());
      return 1;
    }
    std::printf("input: %s, %d frames (%.1f min) at %d Hz, %d channels\n\n", input.c_str(), opened.source->length(),
                opened.source->length() / 60.0 / opened.source->sampleRate(), opened.source->sampleRate(),
                opened.source->channels());
  }

  // (a) WAVE into 32-bit samples: our block store against sox writing raw
  // 32-bit samples.
  const double ourLoad = bestOf(kRuns, [&] {
    buffer.clear();
    return loadIntoBuffer(input, buffer);
  });
  const double soxLoad = bestOf(kRuns, [&] { return shell("sox " + quoted(input) + " -e signed -b 32 " + quoted(soxRaw)); });
  printComparison("(a) load 16-bit WAVE, 32-bit out", ourLoad, soxLoad);

  // (b) 32-bit samples back to a 16-bit WAVE. Our writer rounds without
  // dither, so sox is asked not to dither either (-D).
  const double ourSave = bestOf(kRuns, [&] { return saveBuffer(buffer, ourBack); });
  const double soxSave = bestOf(kRuns, [&] {
    return shell("sox -D -t raw -r " + std::to_string(buffer.sampleRate()) + " -c " +
                 std::to_string(buffer.channels()) + " -e signed -b 32 " + quoted(soxRaw) + " -b 16 " +
                 quoted(soxBack));
  });
  printComparison("(b) save 32-bit as 16-bit WAVE", ourSave, soxSave);
  for (const std::string& file : {ourBack, soxBack}) {
    OpenedSound saved = openSoundFile(file, FormatContext{});
    if (saved.result != 0 || saved.source->length() != buffer.totalFrames())
      std::printf("    %s does not hold the %d frames of the input\n", file.c_str(), buffer.totalFrames());
  }

  // (c) Edits of a buffer of many spans, on a short and on the long sound:
  // the times depend on the number of spans, not on the length.
  SoundBuffer shortBuffer;
  shortBuffer.extractRange(buffer, 0, 20 * buffer.sampleRate());
  SoundBuffer longBuffer = buffer;
  cutIntoSpans(shortBuffer);
  cutIntoSpans(longBuffer);
  // A first round warms the allocator up: its first buffers of this size
  // come fresh from the system and cost page faults.
  timeSpanOperations(shortBuffer);
  const SpanTimes shortTimes = timeSpanOperations(shortBuffer);
  const SpanTimes longTimes = timeSpanOperations(longBuffer);
  std::printf("\n(c) span operations, median microseconds  short (%.0f s, %zu spans)   long (%.0f s, %zu spans)\n",
              shortBuffer.totalFrames() / double(buffer.sampleRate()), shortTimes.spans,
              longBuffer.totalFrames() / double(buffer.sampleRate()), longTimes.spans);
  const auto row = [](const char* name, double shortTime, double longTime) {
    std::printf("    %-36s %12.1f %28.1f\n", name, shortTime, longTime);
  };
  row("deleteRange (1,000 frames)", shortTimes.deleteRange, longTimes.deleteRange);
  row("insertBuffer (1,000 frames)", shortTimes.insertBuffer, longTimes.insertBuffer);
  row("extractRange (a tenth)", shortTimes.extractRange, longTimes.extractRange);
  row("copy of the buffer", shortTimes.copy, longTimes.copy);

  for (const std::string& file : {soxRaw, soxBack, ourBack}) sys::deleteFile(file);
  return ourLoad > 0 && soxLoad > 0 && ourSave > 0 && soxSave > 0 ? 0 : 1;
}
