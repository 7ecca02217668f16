#include "formats/sound_file_io.h"

#include "core/format_adapter_source.h"

JobResult loadSourceIntoBuffer(SampleSource& source, SoundBuffer& target, ProgressCallback* progress) {
  SoundBuffer loaded;
  JobResult result;
  {
    auto writer = loaded.openWriter(source.sampleRate(), source.channels());
    if (!writer->good()) return JobResult::Failed;
    result = copySourceToSink(source, *writer, source.length(), progress);
    // A length that was an estimate (a compressed file that does not state
    // its own) may turn out longer once the end is decoded: the rest follows.
    for (int64_t loaded = writer->position(); result == JobResult::Done && source.length() > loaded;
         loaded = writer->position())
      result = copySourceToSink(source, *writer, source.length() - loaded, progress);
    if (writer->close() != SourceStatus::Good) result = JobResult::Failed;
  }
  if (result == JobResult::Done) target = std::move(loaded);
  return result;
}

JobResult loadSoundFile(const std::string& path, const FormatContext& context, SoundBuffer& target,
                        ProgressCallback* progress) {
  OpenedSound opened = openSoundFile(path, context);
  if (opened.result == 1) return JobResult::Cancelled;
  if (opened.result != 0) return JobResult::Failed;
  JobResult result = loadSourceIntoBuffer(*opened.source, target, progress);
  if (result == JobResult::Done && opened.source->damage() != SourceStatus::Good && context.ui)
    context.ui->showWarning(damagedFileMessage(path));
  return result;
}

std::string damagedFileMessage(const std::string& path) {
  return "The file \"" + path +
         "\" is damaged. What could be decoded has been opened; the damaged parts are missing or silent.";
}

JobResult saveSoundFile(const SoundBuffer& buffer, const std::string& path, const FormatContext& context,
                        ProgressCallback* progress) {
  auto sink = createSoundFileSink(path, buffer.sampleRate(), buffer.channels(), context);
  if (!sink->good()) return JobResult::Failed;
  // Writers of a fixed format (GSM) get the sound in theirs.
  auto reader = adaptSourceFormat(buffer.openReader(), sink->sampleRate(), sink->channels());
  JobResult result = copySourceToSink(*reader, *sink, reader->length(), progress);
  if (sink->close() != SourceStatus::Good) return JobResult::Failed;
  return result;
}
