#pragma once
// The recorder's main window, the dialog "Rezara Sound Recorder": the
// buttons and toolbars, the status panel, the format drop-down, the status
// bar, the notification-area icon, the timers, the system-wide hot keys and
// the command line (its own and those handed over by later starts). The
// recording itself is the RecordingSession; the window answers its
// questions and shows what it reports.

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "devices/voice_activated_capture.h"
#include "formats/formats.h"
#include "recorder/model/recorder_command_line.h"
#include "recorder/model/recorder_settings.h"
#include "recorder/recording_file_maker.h"
#include "recorder/session/recording_session.h"
#include "recorder/session/voice_capture_port.h"
#include "recorder/status_panel.h"
#include "recorder/tray_icon.h"
#include "sys/settings_store.h"
#include "ui/dialog.h"
#include "ui/notifier_window.h"

namespace recorder {

class RecordingTransmission;
class RecordingsListWindow;

class RecorderWindow final : public ui::Dialog, private SessionUi, private RecordingDoneSink {
 public:
  static constexpr const wchar_t* kTitle = L"Rezara Sound Recorder";

  RecorderWindow(HINSTANCE instance, std::vector<std::string> arguments);
  ~RecorderWindow() override;

  // Creates the window and runs the start-up; false when it cannot be made.
  bool create(int showCommand);
  int runMessageLoop();

 private:
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool onInit() override;
  void onCommand(int id, int code) override;

  static LRESULT CALLBACK panelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);

  // Start-up and layout.
  void createBars();
  void layout();
  void applyViewSettings();
  void fillLaunchMenu();
  void updateMenuChecks();

  // Commands.
  void runCommandLine(const std::vector<std::string>& arguments);
  void runAction(const RecorderAction& action);
  void runHotKey(int index);
  void registerHotKeys();
  void unregisterHotKeys();
  void toggleButton(int bit);
  void showOptions(int page);
  void showAudioSetup();
  void formatChosen();
  void refreshFormat();
  void refreshFreeSpace();
  void closeToTray();
  void showFromTray();
  void exitProgram();
  void toggleRecordingsList();
  void onTimer(UINT_PTR id);
  void onHandOver(const COPYDATASTRUCT& data);

  // SessionUi.
  Answer ask(const std::string& text, const std::string& title, Buttons buttons) override;
  void showError(const std::string& text, const std::string& title) override;
  std::optional<std::string> promptForName() override;
  void playTone(int tone) override;
  void setIntervalTone(int64_t periodMs) override;
  void showState(const std::string& text, bool recording) override;
  void showElapsed(const std::string& text) override;
  void showBusy(bool busy) override;
  void closeProgram() override;
  // RecordingDoneSink: the finished recording is passed on in the background.
  void recordingDone(const std::string& path) override;

  SessionOptions sessionOptions() const;
  void prepareInput(const CaptureRequest& request);

  HINSTANCE m_instance;
  std::vector<std::string> m_arguments;
  std::unique_ptr<sys::SettingsStore> m_store;
  std::unique_ptr<RecorderSettings> m_settings;
  std::string m_dataFolder;
  FormatContext m_formats;

  // The notifier is made first and goes last: the capture thread posts to it.
  std::unique_ptr<ui::NotifierWindow> m_notifier;
  std::unique_ptr<VoiceActivatedCapture> m_capture;
  std::unique_ptr<VoiceCapturePort> m_capturePort;
  std::unique_ptr<RecordingFileMaker> m_files;
  std::unique_ptr<RecordingSession> m_session;
  std::unique_ptr<RecordingTransmission> m_transmission;
  std::unique_ptr<RecordingsListWindow> m_recordingsList;

  StatusPanel m_panel;
  TrayIcon m_tray;
  HACCEL m_accelerators = nullptr;
  HWND m_statusBar = nullptr;
  HWND m_mainToolbar = nullptr;
  HWND m_formatList = nullptr;
  HWND m_formatTip = nullptr;
  HIMAGELIST m_buttonImages = nullptr;
  int m_hotKeyCount = 0;
  std::vector<HotKey> m_hotKeys;
  std::vector<std::string> m_launchPrograms;
  std::deque<std::vector<std::string>> m_handOvers;
  bool m_startHidden = false;
  bool m_exiting = false;
  int m_showCommand = SW_SHOWNORMAL;
};

}  // namespace recorder
