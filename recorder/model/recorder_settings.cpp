#include "recorder/model/recorder_settings.h"

#include <climits>

#include "sys/folders.h"

namespace recorder {

int RecorderSettings::number(const char* name, int fallback) const {
  long long value = m_store.readNumber(kSettingsSection, name, fallback);
  if (value < INT_MIN || value > INT_MAX) return fallback;
  return static_cast<int>(value);
}

bool RecorderSettings::flag(const char* name, bool fallback) const {
  std::string value = m_store.read(kSettingsSection, name, "");
  if (value.empty()) return fallback;
  return value[0] != '0';
}

std::vector<HotKey> RecorderSettings::hotKeys() const {
  std::vector<HotKey> keys;
  long long count = m_store.readNumber(kKeysSection, "Count", 0);
  // A stored count is not trusted to size anything: the system takes far
  // fewer keys than this, and every entry is read one by one.
  if (count < 0) count = 0;
  if (count > 1024) count = 1024;
  for (long long i = 0; i < count; ++i) {
    std::string index = std::to_string(i);
    long long key = m_store.readNumber(kKeysSection, "Key" + index, -1);
    long long command = m_store.readNumber(kKeysSection, "Key" + index + "Command", -1);
    if (key <= 0 || key > UINT32_MAX || command < 0 || command >= kHotKeyCommandCount) continue;
    keys.push_back({static_cast<uint32_t>(key), static_cast<HotKeyCommand>(command)});
  }
  return keys;
}

void RecorderSettings::setHotKeys(const std::vector<HotKey>& keys) {
  long long old = m_store.readNumber(kKeysSection, "Count", 0);
  for (long long i = static_cast<long long>(keys.size()); i < old && i < 1024; ++i) {
    m_store.remove(kKeysSection, "Key" + std::to_string(i));
    m_store.remove(kKeysSection, "Key" + std::to_string(i) + "Command");
  }
  for (size_t i = 0; i < keys.size(); ++i) {
    std::string index = std::to_string(i);
    m_store.writeNumber(kKeysSection, "Key" + index, keys[i].key);
    m_store.writeNumber(kKeysSection, "Key" + index + "Command", static_cast<int>(keys[i].command));
  }
  m_store.writeNumber(kKeysSection, "Count", static_cast<long long>(keys.size()));
}

std::string formDefaultOutputFolder(const std::string& documents, const std::string& appData,
                                    const std::string& programData) {
  const std::string& base = !documents.empty() ? documents : !appData.empty() ? appData : programData;
  std::string folder = sys::joinPath(base, "Rezara");
  sys::createFolder(folder);
  return folder;
}

std::string hotKeyModifierText(uint32_t key) {
  std::string text;
  if (key & kHotKeyCtrl) text += "Ctrl+";
  if (key & kHotKeyAlt) text += "Alt+";
  if (key & kHotKeyShift) text += "Shift+";
  return text;
}

const char* hotKeyCommandName(HotKeyCommand command) {
  switch (command) {
    case HotKeyCommand::Record: return "Start Recording";
    case HotKeyCommand::Pause: return "Pause Recording";
    case HotKeyCommand::Restart: return "Restart Recording";
    case HotKeyCommand::StopAndMarkDone: return "Stop and Mark Done";
    case HotKeyCommand::RecordingsList: return "Show or Hide the Recordings List";
  }
  return "";
}

std::string substituteText(const std::string& textTemplate, const std::string& value) {
  std::string text;
  size_t from = 0;
  for (size_t at = textTemplate.find("%s"); at != std::string::npos; at = textTemplate.find("%s", from)) {
    text.append(textTemplate, from, at - from).append(value);
    from = at + 2;
  }
  return text.append(textTemplate, from, std::string::npos);
}

std::string runAtLogonCommand(const std::string& programPath) { return substituteText("\"%s\" -logon", programPath); }

}  // namespace recorder
