#pragma once
// The recorder's files: names from the pattern (the automatic number kept
// in the settings), and the writer of each format at the device format it
// records with: the WAV format chosen in "WavCodec.wff", and 44,100 Hz
// stereo for MP3 (through the encoder component) and AIFF.

#include <string>

#include "formats/formats.h"
#include "recorder/model/recorder_settings.h"
#include "recorder/session/session_ports.h"

namespace recorder {

struct RecordingFormat {
  int32_t sampleRate = 44100;
  int channels = 2;
};
RecordingFormat recordingFormatOf(int format, const std::string& dataFolder);

class RecordingFileMaker final : public RecordingFiles {
 public:
  RecordingFileMaker(RecorderSettings& settings, const FormatContext& formats)
      : m_settings(settings), m_formats(formats) {}

  bool exists(const std::string& path) const override;
  SampleSinkRef create(const std::string& path, int format) override;
  std::string nameFromPattern() override;

 private:
  RecorderSettings& m_settings;
  const FormatContext& m_formats;
};

}  // namespace recorder
