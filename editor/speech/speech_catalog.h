#pragma once
// Every voice of every engine as one list, in the order the user sees it;
// the engines are asked once per run.

#include <memory>
#include <string>
#include <vector>

#include "editor/model/speech_voices.h"
#include "editor/speech/speech_engines.h"

class SpeechCatalog {
 public:
  // ownDataFolder: the folder that holds our engine's "espeak-ng-data".
  explicit SpeechCatalog(const std::string& ownDataFolder);

  const std::vector<std::string>& names() const { return m_names; }
  const SpeechVoiceCounts& counts() const { return m_counts; }
  // Speaks with the voice at listIndex; Failed for an index off the list.
  JobResult speak(int listIndex, const std::string& text, const std::string& wavePath, SpeechRun& run);

 private:
  SpeechFamily& familyOf(SpeechFamilyKind kind);

  std::unique_ptr<SpeechFamily> m_systemModes;
  std::unique_ptr<SpeechFamily> m_systemVoices;
  std::unique_ptr<SpeechFamily> m_ownVoices;
  SpeechVoiceCounts m_counts;
  std::vector<std::string> m_names;
};
