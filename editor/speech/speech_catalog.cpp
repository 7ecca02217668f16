#include "editor/speech/speech_catalog.h"

SpeechCatalog::SpeechCatalog(const std::string& ownDataFolder)
    : m_systemModes(makeSystemModeFamily()),
      m_systemVoices(makeSystemVoiceFamily()),
      m_ownVoices(makeOwnSpeechFamily(ownDataFolder)) {
  std::vector<std::string> modes = m_systemModes->voiceNames();
  std::vector<std::string> system = m_systemVoices->voiceNames();
  std::vector<std::string> own = m_ownVoices->voiceNames();
  m_counts = SpeechVoiceCounts{static_cast<int>(modes.size()), static_cast<int>(system.size()),
                               static_cast<int>(own.size())};
  m_names = std::move(modes);
  m_names.insert(m_names.end(), system.begin(), system.end());
  m_names.insert(m_names.end(), own.begin(), own.end());
}

SpeechFamily& SpeechCatalog::familyOf(SpeechFamilyKind kind) {
  switch (kind) {
    case SpeechFamilyKind::SystemModes:
      return *m_systemModes;
    case SpeechFamilyKind::OwnEngine:
      return *m_ownVoices;
    default:
      return *m_systemVoices;
  }
}

JobResult SpeechCatalog::speak(int listIndex, const std::string& text, const std::string& wavePath,
                               SpeechRun& run) {
  const std::optional<SpeechVoiceRef> voice = speechVoiceAt(m_counts, listIndex);
  if (!voice) return JobResult::Failed;
  return familyOf(voice->family).speak(voice->index, text, wavePath, run);
}
