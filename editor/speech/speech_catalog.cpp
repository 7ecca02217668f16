#include "editor/speech/speech_catalog.h"

SpeechCatalog::SpeechCatalog(const std::string& ownDataFolder)
    : m_systemVoices(makeSystemVoiceFamily()), m_ownVoices(makeOwnSpeechFamily(ownDataFolder)) {
  // The older modes of the system's first speech interface are not offered:
  // their list stays empty and the newer voices come first.
  std::vector<std::string> system = m_systemVoices->voiceNames();
  std::vector<std::string> own = m_ownVoices->voiceNames();
  m_counts = SpeechVoiceCounts{0, static_cast<int>(system.size()), static_cast<int>(own.size())};
  m_names = std::move(system);
  m_names.insert(m_names.end(), own.begin(), own.end());
}

JobResult SpeechCatalog::speak(int listIndex, const std::string& text, const std::string& wavePath,
                               SpeechRun& run) {
  const std::optional<SpeechVoiceRef> voice = speechVoiceAt(m_counts, listIndex);
  if (!voice) return JobResult::Failed;
  if (voice->family == SpeechFamilyKind::SystemModes) return JobResult::Failed;
  SpeechFamily& family = voice->family == SpeechFamilyKind::OwnEngine ? *m_ownVoices : *m_systemVoices;
  return family.speak(voice->index, text, wavePath, run);
}
