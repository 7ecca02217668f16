#include "recorder/recording_file_maker.h"

#include "formats/wav_codec_file.h"
#include "formats/wave_format.h"
#include "recorder/model/name_pattern.h"
#include "recorder/model/recorder_format.h"
#include "sys/folders.h"

namespace recorder {

RecordingFormat recordingFormatOf(int format, const std::string& dataFolder) {
  RecordingFormat result{kDefaultRecordRate, kDefaultRecordChannels};
  if (format != kWav) return result;
  auto record = readWavCodecFile(dataFolder);
  if (!record || record->size() < 16) return result;
  WaveFormat wave;
  wave.loadFields(record->data());
  if (wave.sampleRate > 0 && wave.channels > 0) {
    result.sampleRate = static_cast<int32_t>(wave.sampleRate);
    result.channels = wave.channels;
  }
  return result;
}

bool RecordingFileMaker::exists(const std::string& path) const { return sys::fileExists(path); }

SampleSinkRef RecordingFileMaker::create(const std::string& path, int format) {
  RecordingFormat device = recordingFormatOf(format, m_formats.dataFolder);
  return createSoundFileSink(path, device.sampleRate, device.channels, m_formats);
}

std::string RecordingFileMaker::nameFromPattern() {
  const RecorderFormatInfo* format = recorderFormat(m_settings.format());
  const std::string extension = format ? format->extension : ".wav";
  const std::string folder = m_settings.outputFolder();
  return recorder::nameFromPattern(m_settings.fileNameFormat(), currentLocalTime(), m_settings,
                                   [&](const std::string& name) {
                                     return sys::fileExists(sys::joinPath(folder, name + extension));
                                   });
}

}  // namespace recorder
