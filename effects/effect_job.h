#pragma once
// The effect pipeline: an effect job turns a source over the selection into a
// processed source; runEffectJob pulls that into a new block and splices it
// over the selection. Jobs that must see the whole selection first (peaks,
// offsets, levels) run an analysis pass over it before processing.

#include <cstdint>
#include <string>

#include "core/sample_source.h"
#include "core/sound_buffer.h"

class EffectJob {
 public:
  virtual ~EffectJob() = default;
  // The effect's display name: the undo step's name and the progress title.
  virtual std::string name() const = 0;
  // Whether analyse() must run before process().
  virtual bool hasAnalysisPass() const { return false; }
  // First pass over the whole input; the runner seeks it back to 0 afterwards.
  virtual JobResult analyse(SampleSource& input, ProgressCallback* progress) { return JobResult::Done; }
  // The processed source, at the input's rate and channel count; a null
  // reference or one not in good state fails the job.
  virtual SampleSourceRef process(SampleSourceRef input) = 0;
};

// Clamps a selection to the sound. False when nothing is selected (the end
// before the start, or no frame inside the sound).
bool clampSelection(const SoundBuffer& sound, int32_t& start, int32_t& end);

// Runs job over frames start..end-1 of sound. Progress goes from 0 to the
// selection length (twice that for jobs with an analysis pass); returning
// false from it cancels. Done, Cancelled or Failed; anything but Done leaves
// sound exactly as it was, and the block written so far is released.
JobResult runEffectJob(SoundBuffer& sound, int32_t start, int32_t end, EffectJob& job,
                       ProgressCallback* progress = nullptr);

// One stage of a longer operation as seen by the caller's progress: pass
// `index` of `count` equal passes.
class ProgressStage final : public ProgressCallback {
 public:
  ProgressStage(ProgressCallback* whole, int index, int count) : m_whole(whole), m_index(index), m_count(count) {}
  bool progress(int64_t done, int64_t total) override {
    return !m_whole || m_whole->progress(total * m_index + done, total * m_count);
  }

 private:
  ProgressCallback* m_whole;
  int m_index;
  int m_count;
};

// A source that reads its input chunk by chunk and lets a kernel change each
// chunk in place; the frame numbers handed to the kernel count from the
// input's start.
class KernelSource : public SampleSource {
 public:
  explicit KernelSource(SampleSourceRef input);
  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_input->position(); }
  int32_t length() const override { return m_input->length(); }
  void seek(int32_t frame) override { m_input->seek(frame); }

 protected:
  virtual void processChunk(Sample* samples, int32_t firstFrame, int32_t frames) = 0;
  SampleSource& input() { return *m_input; }

 private:
  SampleSourceRef m_input;
};
