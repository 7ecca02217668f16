// Paste Mix and Mix File: the one edit that computes samples. The mixed range
// is written into a new block and then spliced in, so the document changes
// only when the whole mix has been written.

#include <algorithm>
#include <vector>

#include "effects/edit_support.h"

using namespace editdetail;

namespace {

// The gain of one channel, 2^24 = unity.
int32_t channelGain(const MixSettings& settings, int channel, int channels) {
  int64_t gain = static_cast<int64_t>(kUnityGain) * std::max(settings.volumePercent, 0) / 100;
  if (channels >= 2 && channel < 2) {
    const int32_t pan = clampTo(settings.pan, 0, 100);
    const int32_t side = channel == 0 ? 100 - pan : pan;
    gain = gain * std::min(side, 50) / 50;
  }
  return clampToInt32(gain);
}

struct MixPlan {
  int32_t start = 0;
  int32_t frames = 0;      // length of the mixed range
  int32_t fadeFrames = 0;  // the last frames of the range over which the source fades out
};

// Mixes plan.frames frames of source into work from plan.start, writing the
// result into mixed.
JobResult mixInto(const SoundBuffer& work, const SoundBuffer& source, const MixPlan& plan,
                  const MixSettings& settings, ProgressCallback* progress, SoundBuffer& mixed) {
  const int channels = work.channels();
  std::vector<int32_t> gains(channels);
  for (int c = 0; c < channels; ++c) gains[c] = channelGain(settings, c, channels);

  auto writer = mixed.openWriter(work.sampleRate(), channels);
  if (!writer->good()) return JobResult::Failed;
  auto documentReader = work.openReader();
  documentReader->seek(plan.start);
  auto sourceReader = source.openReader();
  const size_t chunkSamples = static_cast<size_t>(kProcessChunkFrames) * channels;
  std::vector<Sample> document(chunkSamples), added(chunkSamples);
  const int32_t fadeFrom = plan.frames - plan.fadeFrames;

  for (int32_t done = 0; done < plan.frames;) {
    if (progress && !progress->progress(done, plan.frames)) return JobResult::Cancelled;
    const int32_t count = std::min(kProcessChunkFrames, plan.frames - done);
    documentReader->read(document.data(), count);
    sourceReader->read(added.data(), count);
    for (int32_t f = 0; f < count; ++f) {
      const int32_t frame = done + f;
      // Inside the fade the gain falls linearly, reaching 0 at the range's end.
      const int64_t fadeLeft = frame < fadeFrom ? plan.fadeFrames : plan.frames - frame;
      for (int c = 0; c < channels; ++c) {
        const size_t i = static_cast<size_t>(f) * channels + c;
        int64_t gain = gains[c];
        if (plan.fadeFrames > 0) gain = gain * fadeLeft / plan.fadeFrames;
        const int64_t scale = gain >> 15;  // 512 = unity
        document[i] = clampToInt32(document[i] + ((added[i] * scale) >> 9));
      }
    }
    writer->write(document.data(), count);
    if (!writer->good()) return JobResult::Failed;
    done += count;
  }
  if (progress && !progress->progress(plan.frames, plan.frames)) return JobResult::Cancelled;
  if (writer->close() != SourceStatus::Good) return JobResult::Failed;
  return mixed.totalFrames() == plan.frames ? JobResult::Done : JobResult::Failed;
}

}  // namespace

EditResult pasteMix(SoundBuffer& sound, const Selection& selection, const SoundBuffer& source,
                    const MixSettings& settings, SoundConverter& converter, ProgressCallback* progress) {
  if (selection.end < selection.start || source.totalFrames() == 0)
    return unchanged(EditStatus::NothingToDo, selection);
  const Selection range = clampSelection(selection, sound.totalFrames());
  SoundBuffer matched;
  EditStatus status = matchFormat(source, sound, converter, progress, matched);
  if (status != EditStatus::Done) return unchanged(status, selection);

  const int32_t sourceFrames = matched.totalFrames();
  if (sourceFrames == 0) return unchanged(EditStatus::NothingToDo, selection);
  const int32_t selected = range.length();
  SoundBuffer work = sound;  // shares blocks; the document changes only at the end
  MixPlan plan;
  plan.start = range.start;
  plan.frames = sourceFrames;
  if (sourceFrames > selected) {
    switch (settings.longer) {
      case LongerMix::InsertSilence:
        if (!work.insertSilence(range.end, sourceFrames - selected))
          return unchanged(EditStatus::TooLong, selection);
        break;
      case LongerMix::IncreaseSelection:
        break;
      case LongerMix::FadeOut:
        // With nothing selected there is nothing to fade inside: the whole
        // source is mixed in, as by IncreaseSelection.
        if (selected == 0) break;
        plan.frames = selected;
        plan.fadeFrames = static_cast<int32_t>(
            std::clamp<int64_t>(msToFrames(std::max(settings.fadeOutMs, 0), sound.sampleRate()), 0, selected));
        break;
    }
  }
  if (static_cast<int64_t>(plan.start) + plan.frames > kMaxFrames) return unchanged(EditStatus::TooLong, selection);

  SoundBuffer mixed;
  JobResult result = mixInto(work, matched, plan, settings, progress, mixed);
  if (result != JobResult::Done) return unchanged(statusOf(result), selection);
  if (!work.replaceRange(plan.start, plan.start + plan.frames, mixed))
    return unchanged(EditStatus::TooLong, selection);
  sound = std::move(work);
  return done(selectRange(plan.start, plan.start + plan.frames), sound.sampleRate() / 2);
}
