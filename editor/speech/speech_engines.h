#pragma once
// The speech engines behind Text To Speech: each family lists its voices and
// speaks a text with one of them into a WAVE file.

#include <memory>
#include <string>
#include <vector>

#include "core/source_status.h"

// What a family asks of the one running it: whether to go on, and how far
// through the text it is.
class SpeechRun {
 public:
  virtual ~SpeechRun() = default;
  virtual bool keepGoing() = 0;
  virtual void setFraction(double done) = 0;
};

class SpeechFamily {
 public:
  virtual ~SpeechFamily() = default;
  // The voice names, in the family's own order; empty when it has none.
  virtual std::vector<std::string> voiceNames() = 0;
  // Speaks text (UTF-8) with voice index into a new WAVE file at wavePath.
  // Done, Cancelled, or Failed when the engine or voice cannot speak.
  virtual JobResult speak(int voice, const std::string& text, const std::string& wavePath, SpeechRun& run) = 0;
};

// The system's older text-to-speech modes.
std::unique_ptr<SpeechFamily> makeSystemModeFamily();
// The system's newer voices.
std::unique_ptr<SpeechFamily> makeSystemVoiceFamily();
// The engine the editor carries, with its voice data in dataFolder (the
// folder that holds "espeak-ng-data"); no voices when the data is missing.
std::unique_ptr<SpeechFamily> makeOwnSpeechFamily(const std::string& dataFolder);
