#include "effects/auto_split.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

Sample silenceThreshold(int32_t silenceLevelDb) {
  const int32_t db = clampTo(silenceLevelDb, -120, 0);
  const double level = std::pow(10.0, db / 20.0) * kSampleFullScale;
  return std::max<Sample>(1, static_cast<Sample>(std::lround(level)));
}

namespace {

// The stretches of sound between silences of at least minSilence frames.
JobResult findLoudStretches(const SoundBuffer& sound, Sample threshold, int64_t minSilence,
                            ProgressCallback* progress, std::vector<FrameRange>& stretches) {
  const int channels = sound.channels();
  const int32_t length = sound.totalFrames();
  auto reader = sound.openReader();
  std::vector<Sample> chunk(static_cast<size_t>(kProcessChunkFrames) * channels);
  bool inPart = false;
  int32_t partStart = 0;
  int32_t loudEnd = 0;  // one past the last frame that was not silent
  for (int32_t done = 0; done < length;) {
    if (progress && !progress->progress(done, length)) return JobResult::Cancelled;
    const int32_t count = std::min(kProcessChunkFrames, length - done);
    reader->read(chunk.data(), count);
    for (int32_t f = 0; f < count; ++f) {
      const Sample* frame = &chunk[static_cast<size_t>(f) * channels];
      bool loud = false;
      for (int c = 0; c < channels && !loud; ++c) loud = std::abs(static_cast<int64_t>(frame[c])) >= threshold;
      if (!loud) continue;
      const int32_t at = done + f;
      if (!inPart) {
        inPart = true;
        partStart = at;
      } else if (at - loudEnd >= minSilence) {
        stretches.push_back({partStart, loudEnd});
        partStart = at;
      }
      loudEnd = at + 1;
    }
    done += count;
  }
  if (inPart) stretches.push_back({partStart, loudEnd});
  return JobResult::Done;
}

}  // namespace

AutoSplitResult findAutoSplitParts(const SoundBuffer& sound, const AutoSplitSettings& settings,
                                   ProgressCallback* progress) {
  const int32_t rate = sound.sampleRate();
  const int64_t minSilence = std::max<int64_t>(1, msToFrames(std::max(settings.minSilenceMs, 0), rate));
  const int64_t minPart = msToFrames(std::max(settings.minPartMs, 0), rate);
  const int64_t kept = msToFrames(std::max(settings.keptSilenceMs, 0), rate);

  AutoSplitResult out;
  std::vector<FrameRange> stretches;
  out.result = findLoudStretches(sound, silenceThreshold(settings.silenceLevelDb), minSilence, progress, stretches);
  if (out.result != JobResult::Done) return out;

  for (const FrameRange& stretch : stretches)
    if (stretch.end - stretch.start >= minPart) out.parts.push_back(stretch);

  // Share each pause between its two neighbours, at most kept frames each.
  const int32_t length = sound.totalFrames();
  std::vector<FrameRange> padded = out.parts;
  for (size_t i = 0; i < padded.size(); ++i) {
    const int64_t before = i == 0 ? out.parts[i].start : (out.parts[i].start - out.parts[i - 1].end + 1) / 2;
    const int64_t after = i + 1 == out.parts.size() ? length - out.parts[i].end
                                                      : (out.parts[i + 1].start - out.parts[i].end) / 2;
    padded[i].start = static_cast<int32_t>(out.parts[i].start - std::min(kept, before));
    padded[i].end = static_cast<int32_t>(out.parts[i].end + std::min(kept, after));
  }
  out.parts = std::move(padded);
  return out;
}
