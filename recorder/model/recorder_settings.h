#pragma once
// Where the recorder keeps its settings and a typed view of them. Every
// value is text; a switch reads as on unless its first character is "0";
// a missing or empty value yields the default named here.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/encoder_settings.h"
#include "sys/settings_store.h"

namespace recorder {

constexpr const char* kSettingsRoot = "Software\\Zedirad\\Rezara";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kKeysSection = "Keys";
constexpr const char* kEmailSection = "Email";
constexpr const char* kFtpSection = "Ftp";  // "Server", "UserName", "Password", "Directory"

constexpr const char* kDefaultFileNameFormat = "Untitled %autonumber%";
constexpr const char* kDefaultMaxTime = "1:00:00";

// Bits of ShowButtons.
enum ButtonBit : int { kRecordButton = 1, kRestartButton = 2, kPauseButton = 4, kStopButton = 8 };
constexpr int kAllButtons = 63;

// What a system-wide hot key runs.
enum class HotKeyCommand : int { Record = 0, Pause = 1, Restart = 2, StopAndMarkDone = 3, RecordingsList = 4 };
constexpr int kHotKeyCommandCount = 5;

// Modifier bits of a stored key, above its virtual-key code in the low 16 bits.
constexpr uint32_t kHotKeyAlt = 0x10000;
constexpr uint32_t kHotKeyCtrl = 0x20000;
constexpr uint32_t kHotKeyShift = 0x40000;

// "Start Recording" ... as the hot-key page lists them.
const char* hotKeyCommandName(HotKeyCommand command);

struct HotKey {
  uint32_t key = 0;  // modifiers << 16 | virtual-key code
  HotKeyCommand command = HotKeyCommand::Record;
  bool operator==(const HotKey&) const = default;
};

class RecorderSettings {
 public:
  // defaultOutputFolder is what OutputFolder reads as when it was never set.
  RecorderSettings(sys::SettingsStore& store, std::string defaultOutputFolder)
      : m_store(store), m_defaultOutputFolder(std::move(defaultOutputFolder)) {}

  sys::SettingsStore& store() const { return m_store; }

  // The recording session.
  int recordDevice() const { return number("RecordDevice", 0); }
  int recordVolume() const { return number("RecordVolume", 0); }
  bool recordTone() const { return flag("RecordTone", true); }
  bool stoppedTone() const { return flag("StoppedTone", true); }
  bool intervalTone() const { return flag("IntervalTone", false); }
  int intervalSecs() const { return number("IntervalSecs", 30); }
  bool voiceActivate() const { return flag("VoiceActivate", false); }
  int voiceActivateLevel() const { return number("VoiceActivateLevel", -18); }
  bool checkMaxTime() const { return flag("CheckMaxTime", false); }
  std::string maxTime() const { return text("MaxTime", kDefaultMaxTime); }
  bool stopReachMaxTime() const { return flag("StopReachMaxTime", true); }
  bool launchPlayWhenStop() const { return flag("LaunchPlayWhenStop", true); }
  bool recordWhenRun() const { return flag("RecordWhenRun", false); }
  int warnSpaceBelow() const { return number("WarnSpaceBelow", 200); }
  bool installWizRun() const { return flag("InstallWizRun", false); }
  bool showRecordingsList() const { return flag("ShowRecordingsList", false); }
  int showButtons() const { return number("ShowButtons", kAllButtons); }
  // The window.
  bool showMainToolbar() const { return flag("ShowMainToolbar", true); }
  bool showFormatToolbar() const { return flag("ShowFormatToolbar", true); }
  bool showStatusBar() const { return flag("ShowStatusBar", true); }
  bool floatAbove() const { return flag("Float", false); }
  // Names and output.
  std::string outputFolder() const { return text("OutputFolder", m_defaultOutputFolder); }
  std::string fileNameFormat() const { return text("FileNameFormat", kDefaultFileNameFormat); }
  bool promptForName() const { return flag("PromptForName", false); }
  long long autoNumber() const { return m_store.readNumber(kSettingsSection, "AutoNumber", 1); }
  int format() const { return number("Format", 0); }
  Mp3EncoderSettings mp3Settings() const { return readMp3EncoderSettings(&m_store); }

  void setRecordDevice(int value) { setNumber("RecordDevice", value); }
  void setRecordVolume(int value) { setNumber("RecordVolume", value); }
  void setRecordTone(bool value) { setFlag("RecordTone", value); }
  void setStoppedTone(bool value) { setFlag("StoppedTone", value); }
  void setIntervalTone(bool value) { setFlag("IntervalTone", value); }
  void setIntervalSecs(int value) { setNumber("IntervalSecs", value); }
  void setVoiceActivate(bool value) { setFlag("VoiceActivate", value); }
  void setVoiceActivateLevel(int value) { setNumber("VoiceActivateLevel", value); }
  void setCheckMaxTime(bool value) { setFlag("CheckMaxTime", value); }
  void setMaxTime(const std::string& value) { m_store.write(kSettingsSection, "MaxTime", value); }
  void setStopReachMaxTime(bool value) { setFlag("StopReachMaxTime", value); }
  void setLaunchPlayWhenStop(bool value) { setFlag("LaunchPlayWhenStop", value); }
  void setRecordWhenRun(bool value) { setFlag("RecordWhenRun", value); }
  void setWarnSpaceBelow(int value) { setNumber("WarnSpaceBelow", value); }
  void setInstallWizRun(bool value) { setFlag("InstallWizRun", value); }
  void setShowRecordingsList(bool value) { setFlag("ShowRecordingsList", value); }
  void setShowButtons(int value) { setNumber("ShowButtons", value); }
  void setShowMainToolbar(bool value) { setFlag("ShowMainToolbar", value); }
  void setShowFormatToolbar(bool value) { setFlag("ShowFormatToolbar", value); }
  void setShowStatusBar(bool value) { setFlag("ShowStatusBar", value); }
  void setFloatAbove(bool value) { setFlag("Float", value); }
  void setOutputFolder(const std::string& value) { m_store.write(kSettingsSection, "OutputFolder", value); }
  void setFileNameFormat(const std::string& value) { m_store.write(kSettingsSection, "FileNameFormat", value); }
  void setPromptForName(bool value) { setFlag("PromptForName", value); }
  void setAutoNumber(long long value) { m_store.writeNumber(kSettingsSection, "AutoNumber", value); }
  void setFormat(int value) { setNumber("Format", value); }
  void setMp3Settings(const Mp3EncoderSettings& value) { writeMp3EncoderSettings(m_store, value); }

  // Passing finished recordings on.
  bool sendFolder() const { return flag("SendFolder", false); }
  std::string sendFolderDir() const { return text("SendFolderDir", ""); }
  bool sendEmail() const { return flag("SendEmail", false); }
  std::string emailTo() const { return m_store.read(kEmailSection, "To", ""); }
  bool sendFtp() const { return flag("SendFtp", false); }
  std::string ftpValue(const char* name) const { return m_store.read(kFtpSection, name, ""); }
  bool sendRun() const { return flag("SendRun", false); }
  std::string sendRunExe() const { return text("SendRunExe", ""); }

  void setSendFolder(bool value) { setFlag("SendFolder", value); }
  void setSendFolderDir(const std::string& value) { m_store.write(kSettingsSection, "SendFolderDir", value); }
  void setSendEmail(bool value) { setFlag("SendEmail", value); }
  void setEmailTo(const std::string& value) { m_store.write(kEmailSection, "To", value); }
  void setSendFtp(bool value) { setFlag("SendFtp", value); }
  void setFtpValue(const char* name, const std::string& value) { m_store.write(kFtpSection, name, value); }
  void setSendRun(bool value) { setFlag("SendRun", value); }
  void setSendRunExe(const std::string& value) { m_store.write(kSettingsSection, "SendRunExe", value); }

  // The system-wide hot keys of section "Keys": Count, Key%d, Key%dCommand.
  // Entries with a command outside the list are skipped.
  std::vector<HotKey> hotKeys() const;
  void setHotKeys(const std::vector<HotKey>& keys);

 private:
  int number(const char* name, int fallback) const;
  bool flag(const char* name, bool fallback) const;
  std::string text(const char* name, const std::string& fallback) const {
    return m_store.read(kSettingsSection, name, fallback);
  }
  void setNumber(const char* name, int value) { m_store.writeNumber(kSettingsSection, name, value); }
  void setFlag(const char* name, bool value) { m_store.write(kSettingsSection, name, value ? "1" : "0"); }

  sys::SettingsStore& m_store;
  std::string m_defaultOutputFolder;
};

// The places the default output folder may live under, best first: the
// user's documents folder, the user's application-data folder, the program's
// data folder. The first non-empty one + "\Rezara"; the folder is created.
std::string formDefaultOutputFolder(const std::string& documents, const std::string& appData,
                                    const std::string& programData);

// "Ctrl+", "Alt+" and "Shift+" of a stored key, in that order.
std::string hotKeyModifierText(uint32_t key);

// template with every "%s" replaced by value, as plain text: value is never
// read for further "%s", and no other "%" sequence means anything.
std::string substituteText(const std::string& textTemplate, const std::string& value);

// The value of the logon entry for the program at path: "\"path\" -logon".
std::string runAtLogonCommand(const std::string& programPath);
constexpr const char* kRunAtLogonValue = "RezaraRun";

}  // namespace recorder
