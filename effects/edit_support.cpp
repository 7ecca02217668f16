#include "effects/edit_support.h"

EditStatus statusOf(JobResult result) {
  switch (result) {
    case JobResult::Done:
      return EditStatus::Done;
    case JobResult::Cancelled:
      return EditStatus::Cancelled;
    default:
      return EditStatus::Failed;
  }
}

namespace editdetail {

Selection clampSelection(const Selection& selection, int32_t length) {
  Selection clamped;
  clamped.start = clampTo(selection.start, 0, length);
  clamped.end = clampTo(selection.end, clamped.start, length);
  clamped.cursor = clampTo(selection.cursor, 0, length);
  return clamped;
}

Selection wholeIfEmpty(const Selection& selection, int32_t length) {
  Selection clamped = clampSelection(selection, length);
  if (clamped.empty()) {
    clamped.start = 0;
    clamped.end = length;
  }
  return clamped;
}

EditResult unchanged(EditStatus status, const Selection& selection) {
  EditResult result;
  result.status = status;
  result.selection = selection;
  return result;
}

EditResult done(const Selection& selection, int32_t leadInFrames) {
  EditResult result;
  result.selection = selection;
  result.leadInFrames = leadInFrames;
  return result;
}

Selection selectRange(int32_t start, int32_t end) { return Selection{start, end, start}; }

EditStatus matchFormat(const SoundBuffer& source, const SoundBuffer& target, SoundConverter& converter,
                       ProgressCallback* progress, SoundBuffer& matched) {
  if (source.sampleRate() == target.sampleRate() && source.channels() == target.channels()) {
    matched = source;
    return EditStatus::Done;
  }
  return statusOf(converter.convert(source, target.sampleRate(), target.channels(), matched, progress));
}

}  // namespace editdetail
