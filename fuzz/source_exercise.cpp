#include "fuzz/source_exercise.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzz {

namespace {

// Enough to walk every chunk of the small inputs the fuzzers make, while
// keeping one run short under the sanitizers.
constexpr int64_t kSampleBudget = 1 << 20;
constexpr int32_t kChunkFrames = 1024;

bool allZero(const Sample* samples, size_t count) {
  return std::all_of(samples, samples + count, [](Sample s) { return s == 0; });
}

// Reads frames at the current position and checks that the position moved
// on by exactly that many (saturating at the frame limit).
void readChecked(SampleSource& source, Sample* buffer, int32_t frames) {
  const int64_t before = source.position();
  source.read(buffer, frames);
  if (source.position() != clampToInt32(before + frames)) brokenPromise("position after a read");
}

}  // namespace

[[noreturn]] void brokenPromise(const char* what) {
  std::fprintf(stderr, "broken source promise: %s\n", what);
  std::abort();
}

void exerciseSource(SampleSource& source, const SourceLimits& limits) {
  const int32_t length = source.length();
  const int channels = source.channels();
  if (length < 0) brokenPromise("negative length");
  if (channels < 1) brokenPromise("no channels");
  if (source.sampleRate() < 1 || source.sampleRate() > 196000) brokenPromise("sample rate out of range");
  if (source.good() && length > limits.maxLength) brokenPromise("longer than the bytes could hold");

  std::vector<Sample> chunk(static_cast<size_t>(kChunkFrames) * channels);
  if (!source.good()) {
    // A failed source still reads, as silence (its position stays put).
    source.read(chunk.data(), kChunkFrames);
    if (!allZero(chunk.data(), chunk.size())) brokenPromise("a failed source gave samples");
    return;
  }

  // Straight through from the start, remembering what came out.
  const int64_t frames = std::min<int64_t>(length, kSampleBudget / channels);
  std::vector<Sample> straight(static_cast<size_t>(frames) * channels);
  source.seek(0);
  for (int64_t at = 0; at < frames; at += kChunkFrames) {
    const auto count = static_cast<int32_t>(std::min<int64_t>(kChunkFrames, frames - at));
    readChecked(source, straight.data() + at * channels, count);
  }

  // Back into the middle: the same samples again where seeking is exact.
  if (frames > 0) {
    const int64_t middle = frames / 2;
    const auto count = static_cast<int32_t>(std::min<int64_t>(kChunkFrames, frames - middle));
    source.seek(static_cast<int32_t>(middle));
    readChecked(source, chunk.data(), count);
    if (limits.exactSeek &&
        !std::equal(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(count) * channels,
                    straight.begin() + static_cast<std::ptrdiff_t>(middle) * channels))
      brokenPromise("a seek gave other samples than a straight read");
  }

  // Across the start: the frames before 0 are silent.
  source.seek(-100);
  readChecked(source, chunk.data(), 200);
  if (!allZero(chunk.data(), static_cast<size_t>(100) * channels)) brokenPromise("samples before the start");

  // Across and past the end: silence after the last frame.
  const int32_t nearEnd = length > 10 ? length - 10 : 0;
  source.seek(nearEnd);
  readChecked(source, chunk.data(), 100);
  const int32_t inside = length - nearEnd;
  if (!allZero(chunk.data() + static_cast<size_t>(inside) * channels, static_cast<size_t>(100 - inside) * channels))
    brokenPromise("samples after the end");

  // At the frame limit the position saturates instead of wrapping.
  source.seek(INT32_MAX - 5);
  readChecked(source, chunk.data(), 100);
  if (!allZero(chunk.data(), static_cast<size_t>(100) * channels)) brokenPromise("samples at the frame limit");
}

}  // namespace fuzz
