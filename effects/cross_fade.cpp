#include <algorithm>
#include <vector>

#include "effects/amplitude_effects.h"
#include "effects/decibels.h"

CrossFadeParams readCrossFadeParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kGapTimeValue), readEffectParameter(store, kFadeInTimeValue),
          readEffectParameter(store, kFadeOutTimeValue)};
}

void writeCrossFadeParams(sys::SettingsStore& store, const CrossFadeParams& params) {
  writeEffectParameter(store, kGapTimeValue, params.GapTimeMS);
  writeEffectParameter(store, kFadeInTimeValue, params.FadeInTimeMS);
  writeEffectParameter(store, kFadeOutTimeValue, params.FadeOutTimeMS);
}

CrossFadeLayout crossFadeLayout(int32_t start, int32_t end, int32_t sampleRate, const CrossFadeParams& params) {
  // Milliseconds through msToFrames, wide: a minute-long fade at 96 kHz
  // would overflow 32 bits as ms * rate. Negative times count as 0.
  auto frames = [&](int32_t ms) { return std::clamp<int64_t>(msToFrames(ms, sampleRate), 0, kMaxFrames); };
  CrossFadeLayout layout{};
  layout.gap = frames(params.GapTimeMS);
  layout.fadeIn = frames(params.FadeInTimeMS);
  layout.fadeOut = frames(params.FadeOutTimeMS);
  layout.lead = std::max<int64_t>(0, layout.fadeIn - layout.gap);
  layout.joinStart = start - layout.lead;
  layout.secondStart = end - (layout.lead + layout.gap);
  layout.outputFrames = std::max(layout.lead + layout.gap, layout.lead + layout.fadeOut);
  layout.replacedEnd = layout.secondStart + layout.outputFrames;
  return layout;
}

namespace {

// Gain of the first stream at output frame k (2^24 = unity): full up to the
// lead, then falling linearly to silence at lead + fadeOut.
int32_t firstStreamGain(const CrossFadeLayout& layout, int64_t k) {
  if (k < layout.lead) return kUnityGain;
  int64_t left = layout.lead + layout.fadeOut - k;
  if (left <= 0) return 0;
  return static_cast<int32_t>(left * kUnityGain / layout.fadeOut);
}

// Gain of the second stream: silent up to lead + gap - fadeIn, rising linearly
// to unity at lead + gap.
int32_t secondStreamGain(const CrossFadeLayout& layout, int64_t k) {
  const int64_t full = layout.lead + layout.gap;
  if (k >= full) return kUnityGain;
  int64_t into = k - (full - layout.fadeIn);
  if (into <= 0) return 0;
  return static_cast<int32_t>(into * kUnityGain / layout.fadeIn);
}

}  // namespace

JobResult crossFade(SoundBuffer& sound, int32_t start, int32_t end, const CrossFadeParams& params,
                    ProgressCallback* progress) {
  if (end < start) return JobResult::Done;
  start = std::clamp(start, 0, sound.totalFrames());
  end = std::clamp(end, start, sound.totalFrames());
  const CrossFadeLayout layout = crossFadeLayout(start, end, sound.sampleRate(), params);
  if (layout.outputFrames > kMaxFrames) return JobResult::Failed;
  // Output frames that would fall before the sound's first frame are not
  // written: the join then starts at frame 0 with the gains it has there.
  const int64_t skipped = std::max<int64_t>(0, -layout.joinStart);
  const int64_t written = std::max<int64_t>(0, layout.outputFrames - skipped);

  SampleSourceRef first = sound.openReader();
  SampleSourceRef second = sound.openReader();
  first->seek(static_cast<int32_t>(layout.joinStart + skipped));
  second->seek(static_cast<int32_t>(layout.secondStart + skipped));
  const int channelCount = sound.channels();
  std::vector<Sample> firstChunk(static_cast<size_t>(kProcessChunkFrames) * channelCount);
  std::vector<Sample> secondChunk(firstChunk.size());

  SoundBuffer output;
  JobResult result = JobResult::Done;
  {
    SampleSinkRef writer = output.openWriter(sound.sampleRate(), channelCount);
    if (!writer->good()) return JobResult::Failed;
    for (int64_t done = 0; done < written && result == JobResult::Done;) {
      if (progress && !progress->progress(done, written)) {
        result = JobResult::Cancelled;
        break;
      }
      auto count = static_cast<int32_t>(std::min<int64_t>(kProcessChunkFrames, written - done));
      first->read(firstChunk.data(), count);
      second->read(secondChunk.data(), count);
      Sample* a = firstChunk.data();
      const Sample* b = secondChunk.data();
      for (int32_t f = 0; f < count; ++f) {
        const int64_t k = skipped + done + f;
        const int32_t gainA = firstStreamGain(layout, k), gainB = secondStreamGain(layout, k);
        for (int c = 0; c < channelCount; ++c, ++a, ++b)
          *a = clampToInt32(static_cast<int64_t>(scaleSample(*a, gainA)) + scaleSample(*b, gainB));
      }
      writer->write(firstChunk.data(), count);
      if (!writer->good()) result = JobResult::Failed;
      done += count;
    }
    if (result == JobResult::Done && progress && !progress->progress(written, written)) result = JobResult::Cancelled;
    if (writer->close() != SourceStatus::Good && result == JobResult::Done) result = JobResult::Failed;
  }
  if (result != JobResult::Done) return result;
  const auto joinStart = static_cast<int32_t>(layout.joinStart + skipped);
  const auto replacedEnd = static_cast<int32_t>(std::min<int64_t>(layout.replacedEnd, kMaxFrames));
  if (!sound.replaceRange(joinStart, std::max(joinStart, replacedEnd), output)) return JobResult::Failed;
  return JobResult::Done;
}
