#include "formats/sound_file_io.h"

#include "core/format_adapter_source.h"
#include "formats/extension.h"
#include "formats/playlist_texts.h"
#include "sys/file.h"
#include "sys/folders.h"

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

namespace {

// Remembers whether the user cancelled, through the copy or while the
// encoder finished.
class CancelMemory final : public ProgressCallback {
 public:
  explicit CancelMemory(ProgressCallback* inner) : m_inner(inner) {}
  bool progress(int64_t done, int64_t total) override {
    if (m_inner && !m_inner->progress(done, total)) m_cancelled = true;
    return !m_cancelled;
  }
  bool cancelled() const { return m_cancelled; }

 private:
  ProgressCallback* m_inner;
  bool m_cancelled = false;
};

// The finished file is forced to the disk before it takes the target's place.
bool flushed(const std::string& path) {
  sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::Read, sys::Disposition::OpenExisting);
  return file.isOpen() && file.flush();
}

JobResult writeBeside(const SoundBuffer& buffer, const SinkRequest& request, const std::string& temporary,
                      const FormatContext& context, CancelMemory& progress) {
  SinkRequest toTemporary = request;
  toTemporary.outputPath = temporary;
  FormatContext saving = context;
  saving.encoderWait = &progress;
  auto sink = createSoundFileSink(toTemporary, buffer.sampleRate(), buffer.channels(), saving);
  if (!sink->good()) return JobResult::Failed;
  // Writers of a fixed format (GSM, the encoders' rates) get the sound in theirs.
  auto reader = adaptSourceFormat(buffer.openReader(), sink->sampleRate(), sink->channels());
  JobResult result = copySourceToSink(*reader, *sink, reader->length(), &progress);
  if (sink->close() != SourceStatus::Good && result == JobResult::Done) result = JobResult::Failed;
  if (progress.cancelled()) return JobResult::Cancelled;
  return result;
}

}  // namespace

JobResult saveSoundFile(const SoundBuffer& buffer, const std::string& path, const FormatContext& context,
                        ProgressCallback* progress) {
  SinkRequest request;
  request.path = path;
  return saveSoundFile(buffer, request, context, progress);
}

JobResult saveSoundFile(const SoundBuffer& buffer, const SinkRequest& request, const FormatContext& context,
                        ProgressCallback* progress) {
  const std::string extension = lowerExtension(request.path);
  // The temporary file keeps the extension: some encoders choose their
  // container by the output's name.
  const std::string temporary = sys::createFileBeside(request.path, ".tmp" + extension);
  if (temporary.empty()) return JobResult::Failed;
  CancelMemory watched(progress);
  JobResult result = writeBeside(buffer, request, temporary, context, watched);
  // A playlist's MP3 was finished by its own sink; the text is not audio.
  if (result == JobResult::Done && !isPlaylistExtension(extension) && context.finishAudioFile &&
      !context.finishAudioFile(temporary, request.path))
    result = JobResult::Failed;
  if (result == JobResult::Done && (!flushed(temporary) || !sys::replaceFile(temporary, request.path)))
    result = JobResult::Failed;
  if (result != JobResult::Done) sys::deleteFile(temporary);
  return result;
}
