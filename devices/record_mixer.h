#pragma once
// The recording side of an input device's mixer: the source lines that can
// feed the recording (microphone, line in, ...), which of them records, and
// each line's volume. The system's mixer on Windows; a fake in tests.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class RecordMixer {
 public:
  virtual ~RecordMixer() = default;

  // Opens the mixer of input device deviceNumber (0 the system's default,
  // n >= 1 device n - 1). False when the device has none.
  virtual bool open(uint32_t deviceNumber) = 0;
  // The source lines of the recording destination, in the mixer's order.
  virtual std::vector<std::string> lineNames() const = 0;
  // The line that records now; empty when the mixer does not say.
  virtual std::optional<int> selectedLine() const = 0;
  // Makes line index the one that records, through the destination's
  // multiplexer (or mixer) control. False when the mixer has no such control.
  virtual bool selectLine(int index) = 0;
  // The line's volume in dB (see player_volume.h for the scale); empty when
  // the line has no volume control.
  virtual std::optional<int> lineVolumeDb(int index) const = 0;
  virtual bool setLineVolumeDb(int index, int db) = 0;
};

// The system's mixer. Windows builds only.
std::unique_ptr<RecordMixer> makeSystemRecordMixer();
