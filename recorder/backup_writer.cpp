#include "recorder/backup_writer.h"

#include <windows.h>

#include "effects/channel_converter.h"
#include "effects/resample_source.h"
#include "formats/encoder_settings.h"
#include "formats/wave_format.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace recorder {
namespace {

constexpr int32_t kBackupRate = 8000;

void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The working copy goes when the backup of its recording ends, however it ends.
class WorkingCopy {
 public:
  WorkingCopy(const std::string& source, const std::string& folder)
      : m_path(sys::joinPath(folder, sys::fileNameOf(source))) {
    m_made = CopyFileW(ui::widen(source).c_str(), ui::widen(m_path).c_str(), FALSE) != 0;
  }
  ~WorkingCopy() { sys::deleteFile(m_path); }
  bool made() const { return m_made; }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  bool m_made = false;
};

}  // namespace

std::vector<uint8_t> gsm610WaveRecord() {
  std::vector<uint8_t> record(20, 0);
  put16(record, wave_record::kTag, 0x31);
  put16(record, wave_record::kChannels, 1);
  put32(record, wave_record::kSampleRate, kBackupRate);
  put32(record, wave_record::kAverageBytesPerSecond, 1625);
  put16(record, wave_record::kBlockAlign, 65);
  put16(record, wave_record::kBitsPerSample, 0);
  put16(record, wave_record::kExtraBytes, 2);
  put16(record, 18, 320);  // samples per block
  return record;
}

JobResult writeBackupFile(const std::string& source, const std::string& target, BackupCompression compression,
                          const FormatContext& formats, const std::string& workFolder, ProgressCallback* progress) {
  WorkingCopy copy(source, workFolder);
  if (!copy.made()) return JobResult::Failed;

  // The MP3 choices bring their own encoder settings: constant rate, mono.
  std::unique_ptr<sys::SettingsStore> encoderSettings = sys::makeMemorySettingsStore();
  Mp3EncoderSettings mp3;
  mp3.constantBitRate = true;
  mp3.cbrBitRate = compression == BackupCompression::Mp3At8 ? 8 : 16;
  mp3.channelMode = 3;
  writeMp3EncoderSettings(*encoderSettings, mp3);
  FormatContext context = formats;
  context.ui = nullptr;
  context.settings = encoderSettings.get();
  context.finishAudioFile = nullptr;

  OpenedSound opened = openSoundFile(copy.path(), context);
  if (opened.result != 0 || !opened.source || opened.source->status() != SourceStatus::Good) return JobResult::Failed;
  SampleSourceRef sound = std::move(opened.source);
  if (sound->channels() != 1) sound = makeChannelConverter(std::move(sound), 1);
  if (sound->sampleRate() != kBackupRate) sound = makeResampleSource(std::move(sound), kBackupRate);
  const int64_t frames = sound->length();

  const std::string temporary = sys::createFileBeside(target, std::string(".tmp") + backupExtension(compression));
  if (temporary.empty()) return JobResult::Failed;
  SampleSinkRef sink;
  if (compression == BackupCompression::WavGsm) {
    sink = makeWaveCodecSink(temporary, gsm610WaveRecord());
  } else {
    SinkRequest request;
    request.path = target;
    request.outputPath = temporary;
    sink = createSoundFileSink(request, kBackupRate, 1, context);
  }
  JobResult result = sink && sink->status() == SourceStatus::Good
                         ? copySourceToSink(*sound, *sink, frames, progress)
                         : JobResult::Failed;
  if (sink && sink->close() != SourceStatus::Good && result == JobResult::Done) result = JobResult::Failed;
  sink.reset();
  if (result == JobResult::Done && !sys::replaceFile(temporary, target)) result = JobResult::Failed;
  if (result != JobResult::Done) sys::deleteFile(temporary);
  return result;
}

}  // namespace recorder
