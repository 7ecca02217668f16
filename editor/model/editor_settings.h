#pragma once
// Where the editor keeps its settings and a typed view of the common ones.
// Every read names its default, which applies when the value is missing or
// empty (or, for numbers, not a number).

#include <string>

#include "effects/amplitude_effects.h"
#include "sys/settings_store.h"

constexpr const char* kSettingsRoot = "Software\\Zedirad\\Razavo";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kMainWindowSection = "MainWindow";
constexpr const char* kRecentSection = "Recent";
constexpr const char* kEBarSection = "EBar";
constexpr const char* kStoredValuesSection = "StoredValues";
constexpr const char* kRecorderSection = "Recorder";
constexpr const char* kPlayerSection = "Player";
constexpr const char* kBatchConverterSection = "BatchConverter";
constexpr const char* kKeysSection = "Keys";

// Names of the remembered folders and choices for lastFolder().
constexpr const char* kOpenFileDir = "OpenFileDir";
constexpr const char* kSaveAsDir = "SaveAsDir";
constexpr const char* kSaveAsFormat = "SaveAsFormat";
constexpr const char* kOpenProjectDir = "OpenProjectDir";
constexpr const char* kSaveProjectAsDir = "SaveProjectAsDir";
constexpr const char* kLoadFromFolder = "LoadFromFolder";

// Under the application-data folder, the default working folder.
constexpr const char* kUserDataSubfolder = "\\Zedirad\\Razavo";

class EditorSettings {
 public:
  explicit EditorSettings(sys::SettingsStore& store) : m_store(store) {}

  // Section "Settings".
  int playSpeed() const { return number("PlaySpeed", 1); }
  bool playRepeat() const { return flag("PlayRepeat", false); }
  bool reduceVolWhenRewind() const { return flag("ReduceVolWhenRewind", false); }
  bool autoPlaybackAfterEffects() const { return flag("AutoPlaybackAfterEffects", true); }
  bool playWhenOpen() const { return flag("PlayWhenOpen", true); }
  bool playBookMark() const { return flag("PlayBookMark", false); }
  bool playRegion() const { return flag("PlayRegion", false); }
  int autoTrimThreshold() const { return readEffectParameter(m_store, kAutoTrimThresholdValue); }
  std::string workingFolder() const { return m_store.read(kSettingsSection, "WorkingFolder", ""); }
  bool useDefaultWorkingDir() const { return flag("UseDefaultWorkingDir", true); }
  bool promptSampleAndChannels() const { return flag("PromptSampleAndChannels", true); }
  int selectedSampleRate() const { return number("SelectedSampleRate", 44100); }
  int selectedChannels() const { return number("SelectedChannels", 1); }
  int defaultSampleRate() const { return number("DefaultSampleRate", 44100); }
  int defaultChannels() const { return number("DefaultChannels", 1); }
  bool addToWEContext() const { return flag("AddToWEContext", true); }
  bool autoArrangeWindows() const { return flag("AutoArrangeWindows", true); }
  bool showMainToolbar() const { return flag("ShowMainToolbar", true); }
  bool showEffectsToolbar() const { return flag("ShowEffectsToolbar", true); }
  bool showCommandBar() const { return flag("ShowCommandBar", true); }
  bool showCommandBarLeft() const { return flag("ShowCommandBarLeft", true); }
  int soundOutDevice() const { return number("SoundOutDevice", 0); }

  void setPlaySpeed(int value) { setNumber("PlaySpeed", value); }
  void setPlayRepeat(bool value) { setFlag("PlayRepeat", value); }
  void setReduceVolWhenRewind(bool value) { setFlag("ReduceVolWhenRewind", value); }
  void setAutoPlaybackAfterEffects(bool value) { setFlag("AutoPlaybackAfterEffects", value); }
  void setPlayWhenOpen(bool value) { setFlag("PlayWhenOpen", value); }
  void setPlayBookMark(bool value) { setFlag("PlayBookMark", value); }
  void setPlayRegion(bool value) { setFlag("PlayRegion", value); }
  void setAutoTrimThreshold(int value) { writeEffectParameter(m_store, kAutoTrimThresholdValue, value); }
  void setWorkingFolder(const std::string& value) { m_store.write(kSettingsSection, "WorkingFolder", value); }
  void setUseDefaultWorkingDir(bool value) { setFlag("UseDefaultWorkingDir", value); }
  void setPromptSampleAndChannels(bool value) { setFlag("PromptSampleAndChannels", value); }
  void setSelectedSampleRate(int value) { setNumber("SelectedSampleRate", value); }
  void setSelectedChannels(int value) { setNumber("SelectedChannels", value); }
  void setDefaultSampleRate(int value) { setNumber("DefaultSampleRate", value); }
  void setDefaultChannels(int value) { setNumber("DefaultChannels", value); }
  void setAddToWEContext(bool value) { setFlag("AddToWEContext", value); }
  void setAutoArrangeWindows(bool value) { setFlag("AutoArrangeWindows", value); }
  void setShowMainToolbar(bool value) { setFlag("ShowMainToolbar", value); }
  void setShowEffectsToolbar(bool value) { setFlag("ShowEffectsToolbar", value); }
  void setShowCommandBar(bool value) { setFlag("ShowCommandBar", value); }
  void setShowCommandBarLeft(bool value) { setFlag("ShowCommandBarLeft", value); }
  void setSoundOutDevice(int value) { setNumber("SoundOutDevice", value); }

  // The analysis windows (section "Settings"): the time-frequency window's
  // full range or 0 to 4,000 Hz, its vertical scroll position, its grid.
  bool tfftFullZoomOn() const { return flag("TFFTFullZoomOn", true); }
  int tfftVScroll() const { return number("TFFTVScroll", 0); }
  bool gridToggle() const { return flag("GridToggle", true); }
  void setTfftFullZoomOn(bool value) { setFlag("TFFTFullZoomOn", value); }
  void setTfftVScroll(int value) { setNumber("TFFTVScroll", value); }
  void setGridToggle(bool value) { setFlag("GridToggle", value); }

  // Section "MainWindow".
  int mainWidth() const { return number(kMainWindowSection, "Width", 740); }
  int mainHeight() const { return number(kMainWindowSection, "Height", 627); }
  bool mainMaximized() const { return number(kMainWindowSection, "Maximized", 1) != 0; }
  void setMainWidth(int value) { m_store.writeNumber(kMainWindowSection, "Width", value); }
  void setMainHeight(int value) { m_store.writeNumber(kMainWindowSection, "Height", value); }
  void setMainMaximized(bool value) { m_store.write(kMainWindowSection, "Maximized", value ? "1" : "0"); }

  // The folders and choices remembered by the file dialogs (kOpenFileDir...),
  // in section "Settings"; empty when never set.
  std::string lastFolder(const char* name) const { return m_store.read(kSettingsSection, name, ""); }
  void setLastFolder(const char* name, const std::string& value) { m_store.write(kSettingsSection, name, value); }

  sys::SettingsStore& store() const { return m_store; }

 private:
  int number(const char* section, const char* name, int fallback) const;
  int number(const char* name, int fallback) const { return number(kSettingsSection, name, fallback); }
  bool flag(const char* name, bool fallback) const { return number(name, fallback ? 1 : 0) != 0; }
  void setNumber(const char* name, int value) { m_store.writeNumber(kSettingsSection, name, value); }
  void setFlag(const char* name, bool value) { m_store.write(kSettingsSection, name, value ? "1" : "0"); }

  sys::SettingsStore& m_store;
};

// The folder for the sound blocks: the user data folder (the application-data
// folder joined with kUserDataSubfolder) unless the user chose another one.
std::string chooseWorkingFolder(const EditorSettings& settings, const std::string& userDataFolder);

enum class FolderCheck { Ok, Empty, Missing };
// The options page's check of a working folder typed by the user.
FolderCheck checkWorkingFolder(const std::string& folder);
