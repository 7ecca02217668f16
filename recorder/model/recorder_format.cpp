#include "recorder/model/recorder_format.h"

#include <cctype>

#include "formats/wave_format.h"

namespace recorder {

namespace {

constexpr RecorderFormatInfo kFormats[kRecorderFormatCount] = {
    {kWav, ".wav", "Wav", "wav"},
    {kMp3, ".mp3", "Mp3", "mp3"},
    {kAiff, ".aif", "AIFF", "aif"},
};

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

const RecorderFormatInfo* recorderFormat(int index) {
  if (index < 0 || index >= kRecorderFormatCount) return nullptr;
  return &kFormats[index];
}

int recorderFormatFromWord(const std::string& word) {
  std::string w = lower(word);
  for (const auto& format : kFormats)
    if (w == format.word || w == format.extension) return format.index;
  return -1;
}

int recorderFormatOfPath(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t separator = path.find_last_of("\\/");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return -1;
  std::string extension = lower(path.substr(dot));
  for (const auto& format : kFormats)
    if (extension == format.extension) return format.index;
  return -1;
}

const char* mp3ChannelModeName(int mode) {
  static const char* const names[] = {"Stereo", "Joint", "Force", "Mono"};
  return mode >= 0 && mode < 4 ? names[mode] : names[0];
}

std::string formatDescription(int format, const std::optional<std::vector<uint8_t>>& wavRecord,
                              const Mp3EncoderSettings& mp3) {
  switch (format) {
    case kWav: {
      long long rate = kDefaultRecordRate;
      int channels = kDefaultRecordChannels;
      if (wavRecord && wavRecord->size() >= wave_record::kFixedBytes) {
        WaveFormat fields;
        fields.loadFields(wavRecord->data());
        rate = fields.sampleRate;
        channels = fields.channels;
      }
      return std::to_string(rate) + "Hz  " + (channels == 1 ? "Mono" : "Stereo") + "  Wav";
    }
    case kMp3:
      if (mp3.constantBitRate)
        return std::to_string(mp3.cbrBitRate) + "KBps " + mp3ChannelModeName(mp3.channelMode) + " Mp3";
      return std::to_string(mp3.vbrMinBitRate) + "-" + std::to_string(mp3.vbrMaxBitRate) + "Kbps  " +
             mp3ChannelModeName(mp3.channelMode) + "  Mp3";
    case kAiff:
      return "44100Hz  Stereo  AIFF";
    default:
      return "";
  }
}

}  // namespace recorder
