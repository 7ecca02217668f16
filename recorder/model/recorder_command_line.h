#pragma once
// The recorder's command line (also what a second start hands over): the
// switches, compared ignoring case and taken in order, become actions that
// the program runs one after the other. A switch without its argument, and
// any argument that is no switch, is skipped.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/encoder_settings.h"

namespace recorder {

// "-s" rate, "-m" channels, "-b" bits after "wav": a plain PCM format. 0 for
// a value that was not given.
struct WaveOptions {
  int32_t sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 0;
  bool operator==(const WaveOptions&) const = default;
};

struct RecorderAction {
  enum Kind {
    Record,      // start recording, after taking format and its options
    RecordFile,  // start recording into exactly path
    Resume,
    Pause,
    Restart,
    Done,        // stop and mark done
    Exit,
    ExitIfStop,  // close the program when recording stops
    Hide,
    Show,
    ShowButtons,  // ShowButtons becomes applyButtons(current)
    Play,         // open the recordings list and play path
    OutDir,       // store path as the output folder
    StopAfter,    // after milliseconds: stop and mark done, then close
    Logon,        // started at logon: start recording
  };
  Kind kind = Resume;
  int format = -1;  // Record, RecordFile: the format to store first; -1 keeps it
  std::optional<WaveOptions> wave;
  std::optional<Mp3EncoderSettings> mp3;  // the whole MP3 settings to store
  std::string path;
  long long milliseconds = 0;
  int buttonsSet = -1;    // ShowButtons: 0 or 63, or -1 to toggle
  int buttonsToggle = 0;  // ShowButtons: the bit to flip

  int applyButtons(int current) const { return buttonsSet >= 0 ? buttonsSet : current ^ buttonsToggle; }
};

// The actions of args[1..] (args[0] is the program). currentMp3 is the base
// that MP3 options on the line change.
std::vector<RecorderAction> parseRecorderCommandLine(const std::vector<std::string>& args,
                                                     const Mp3EncoderSettings& currentMp3);

// The wave-format record the WAV options ask for: values not given come from
// current (when it is plain PCM) or are 44,100 Hz, 2 channels, 16 bits.
// Nothing when a given value is out of range.
std::optional<std::vector<uint8_t>> waveRecordFor(const WaveOptions& options,
                                                  const std::optional<std::vector<uint8_t>>& current);

}  // namespace recorder
