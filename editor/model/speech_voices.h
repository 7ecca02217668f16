#pragma once
// The voices the Text To Speech command offers, in the order of its list:
// the system's older text-to-speech modes, then its newer voices, then the
// voices of the engine the editor carries itself.

#include <optional>
#include <string>
#include <vector>

enum class SpeechFamilyKind { SystemModes, SystemVoices, OwnEngine };

// Where an entry of the list comes from: its family and its index there.
struct SpeechVoiceRef {
  SpeechFamilyKind family;
  int index;
};

struct SpeechVoiceCounts {
  int systemModes = 0;
  int systemVoices = 0;
  int ownVoices = 0;
  int total() const { return systemModes + systemVoices + ownVoices; }
};

// The entry at listIndex; nothing for an index outside the list.
std::optional<SpeechVoiceRef> speechVoiceAt(const SpeechVoiceCounts& counts, int listIndex);

// The remembered choice as an index of the list: the first entry when it no
// longer exists (a voice uninstalled since).
int rememberedSpeechVoice(long long stored, const SpeechVoiceCounts& counts);

// Text for the engines: UTF-8, with the edit control's CR LF line ends as
// plain line ends and without the trailing ones.
std::string speechText(const std::string& typed);
