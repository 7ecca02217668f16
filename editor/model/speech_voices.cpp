#include "editor/model/speech_voices.h"

std::optional<SpeechVoiceRef> speechVoiceAt(const SpeechVoiceCounts& counts, int listIndex) {
  if (listIndex < 0) return std::nullopt;
  if (listIndex < counts.systemModes) return SpeechVoiceRef{SpeechFamilyKind::SystemModes, listIndex};
  listIndex -= counts.systemModes;
  if (listIndex < counts.systemVoices) return SpeechVoiceRef{SpeechFamilyKind::SystemVoices, listIndex};
  listIndex -= counts.systemVoices;
  if (listIndex < counts.ownVoices) return SpeechVoiceRef{SpeechFamilyKind::OwnEngine, listIndex};
  return std::nullopt;
}

int rememberedSpeechVoice(long long stored, const SpeechVoiceCounts& counts) {
  return stored >= 0 && stored < counts.total() ? static_cast<int>(stored) : 0;
}

std::string speechText(const std::string& typed) {
  std::string text;
  text.reserve(typed.size());
  for (char c : typed)
    if (c != '\r') text += c;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}
