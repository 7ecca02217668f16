#pragma once
// The recorder's three output formats and the one-line description of the
// current one ("File Info").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/encoder_settings.h"

namespace recorder {

enum RecorderFormat : int { kWav = 0, kMp3 = 1, kAiff = 2 };
constexpr int kRecorderFormatCount = 3;

struct RecorderFormatInfo {
  int index;
  const char* extension;  // ".wav"
  const char* label;      // "Wav", as the format drop-down lists it
  const char* word;       // "wav", as the command line names it
};

// The row of index, or null for an index that starts nothing.
const RecorderFormatInfo* recorderFormat(int index);
// The index named by a command-line word ("wav", "MP3", "aif") or by a path's
// extension (".wav", ".mp3", ".aif"), any case; -1 for none.
int recorderFormatFromWord(const std::string& word);
int recorderFormatOfPath(const std::string& path);

// The WAV format used while "WavCodec.wff" holds none: what the recorder
// opens its device with.
constexpr int32_t kDefaultRecordRate = 44100;
constexpr int kDefaultRecordChannels = 2;

// The description of the format: for WAV from the stored wave-format record
// (nothing: the default above), for MP3 from the encoder settings.
std::string formatDescription(int format, const std::optional<std::vector<uint8_t>>& wavRecord,
                              const Mp3EncoderSettings& mp3);
// "Stereo", "Joint", "Force", "Mono".
const char* mp3ChannelModeName(int mode);

}  // namespace recorder
