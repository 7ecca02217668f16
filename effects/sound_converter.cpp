#include "effects/sound_converter.h"

#include "core/format_adapter_source.h"

JobResult LinearFallbackConverter::convert(const SoundBuffer& in, int32_t sampleRate, int channels,
                                           SoundBuffer& out, ProgressCallback* progress) {
  if (in.sampleRate() < 1) return JobResult::Failed;
  auto adapted = makeRef<FormatAdapterSource>(in.openReader(), sampleRate, channels);
  if (!adapted->good()) return JobResult::Failed;
  const int64_t length = adapted->length();
  if (length >= kMaxFrames) return JobResult::Failed;  // clamped: the sound would not fit

  SoundBuffer converted;
  {
    auto writer = converted.openWriter(sampleRate, channels);
    if (!writer->good()) return JobResult::Failed;
    JobResult result = copySourceToSink(*adapted, *writer, length, progress);
    if (result != JobResult::Done) return result;
    if (writer->close() != SourceStatus::Good) return JobResult::Failed;
  }
  if (length == 0) converted = SoundBuffer(sampleRate, channels);
  out = std::move(converted);
  return JobResult::Done;
}
