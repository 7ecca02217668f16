#pragma once
// The editor's main window: a multiple-document frame whose children are
// waveform windows, with the menu bar, toolbars, transport panel, time fields
// and status bar. Every command ends in onCommand.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/model/editor_settings.h"
#include "editor/model/keys_file.h"
#include "editor/model/project_file.h"
#include "effects/clipboard.h"
#include "effects/edit_operations.h"
#include "effects/noise_reduction.h"
#include "formats/formats.h"
#include "sys/settings_store.h"

class CommandBar;
class DocumentWindow;
class FrameControls;
class PlaybackControl;
class WindowsFileUi;
struct SaveAsChoice;

// The texts of a progress dialog: its title, and the two lines under it.
struct ProgressLines {
  std::string title;
  std::string line1;
  std::string line2;
};

class Frame {
 public:
  explicit Frame(HINSTANCE instance);
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  bool createWindow(int showCommand);
  // The command-line handler, for this start's arguments and every hand-over.
  void runCommandLine(const std::vector<std::string>& arguments);
  int runMessageLoop();

  HWND handle() const { return m_window; }
  HWND mdiClient() const { return m_mdiClient; }
  HINSTANCE instance() const { return m_instance; }
  sys::SettingsStore& store() { return *m_store; }
  EditorSettings& settings() { return m_settings; }
  const FormatContext& formatContext() const { return m_formats; }
  const std::string& dataFolder() const { return m_dataFolder; }

  void onCommand(int id, int notification);
  // Opens a file, or activates its window when it is open already.
  bool openFile(const std::string& path);
  DocumentWindow* activeDocument() const;
  const std::vector<DocumentWindow*>& documents() const { return m_documents; }

  // Called by document windows.
  void documentCreated(DocumentWindow* document);
  void documentDestroyed(DocumentWindow* document);
  void viewChanged(DocumentWindow* document);
  // The user put the cursor somewhere with the mouse.
  void cursorPlaced(DocumentWindow* document);
  void updateCommands();

  // Hot keys of the user, and the user-assigned key list of the options.
  std::vector<UserKey>& userKeys() { return m_userKeys; }
  void loadKeys();
  bool saveKeys();
  void rebuildRecentMenu();
  // The level meter shows the last heard block (dB, -127 silent).
  void showLevels(int left, int right);
  // The transport buttons show whether the player runs.
  void showPlaying(bool playing);
  // The options changed the working folder: the editor must restart.
  void noteWorkingFolderChanged() { m_workingFolderChanged = true; }
  // Asks about unsaved changes; false when the user cancelled.
  bool closeDocument(DocumentWindow* document);
  // The Tools menu's analysis windows for a file.
  void showFrequencyAnalysis(DocumentWindow* document);
  void showTemporalAnalysis(DocumentWindow* document);
  // Sibling programs and the update check (frame_shell.cpp).
  void copyOpenFilesToCd(bool audioDisc);
  // Writes the burn list of paths and starts the burning program on it.
  void handToBurner(const std::vector<std::string>& paths, bool audioDisc);
  void runToneGenerator();
  void checkForUpdate();

  // Projects (frame_projects.cpp): the open files, their bookmarks and the
  // regions in one ".vrp" file.
  bool openProject(const std::string& path);
  bool projectOpen() const { return !m_projectPath.empty(); }
  // Something a project holds changed since it was opened or saved.
  void noteProjectChanged() { m_projectChanged = true; }

  // Bookmarks and regions (frame_marks.cpp), used by their list windows.
  std::vector<Region>& regions() { return m_regions; }
  void goToBookmark(DocumentWindow* document, const Bookmark& bookmark);
  void bookmarksEdited(DocumentWindow* document);
  void saveRegion(const Region& region);
  void copyRegionToNewFile(const Region& region);
  void exportRegions(const std::vector<int>& indices);
  void copyRegionsToCd(const std::vector<int>& indices);

 private:
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool preTranslate(MSG& message);
  bool onKeyDown(UINT virtualKey, bool repeat);
  bool onKeyUp(UINT virtualKey);
  void layout();
  void arrangeDocuments();
  void handOverReceived(const COPYDATASTRUCT& data);
  void runPendingHandOvers();
  void showMenuHelp(int id);

  // File commands.
  void newFile();
  void openFileDialog();
  bool saveDocument(DocumentWindow* document);
  // sameFormat: saved back in the file's own format (Ctrl+S), never made
  // smaller; formatChosen: the user set the format's options in Save As.
  bool saveDocumentAs(DocumentWindow* document, const std::string& path, bool sameFormat = false,
                      bool formatChosen = false);
  bool saveDocumentAsDialog(DocumentWindow* document);
  // The save dialog; an empty path when cancelled. With confirmReplace the
  // question about an existing file is ours, asked again until the user
  // settles. sound gives the format options its channels and rate.
  SaveAsChoice askSavePath(const std::string& initialName, const wchar_t* title, bool confirmReplace,
                           const SoundBuffer& sound, const char* folderSetting = "SaveAsDir");
  bool saveSoundAsDialog(const SoundBuffer& sound, const wchar_t* title);
  // Send... (frame_send.cpp): the file by e-mail.
  void sendDocument(DocumentWindow* document);
  // A sound file read or written under the progress dialog. A failed save
  // has been reported to the user when saveWithProgress returns.
  JobResult openWithProgress(const std::string& path, SoundBuffer& sound);
  // Tags, when given, are written into the finished file before it replaces
  // the target; a tag write that fails fails the save.
  JobResult saveWithProgress(const SoundBuffer& sound, const SinkRequest& request, const FileTags* tags = nullptr);

  // Tags (frame_tags.cpp): read after a file opens, written after it is
  // saved, edited with the tag dialog.
  void editTags(DocumentWindow* document);
  void readTagsAfterOpen(DocumentWindow* document);
  bool writeTagsAfterSave(DocumentWindow* document, const std::string& path);
  bool saveTagsOnly(DocumentWindow* document);

  // Edits.
  void onEditCommand(int id, DocumentWindow* document);
  // An empty progress title runs the operation without a progress dialog.
  bool runEdit(DocumentWindow* document, const char* label, const std::string& progressTitle,
               const std::function<EditResult(ProgressCallback*)>& operation);
  // failure: the message of a failed run, when it has one of its own.
  bool runEdit(DocumentWindow* document, const char* label, const ProgressLines& progress,
               const std::function<EditResult(ProgressCallback*)>& operation, const char* failure = nullptr);
  void afterEdit(DocumentWindow* document, int32_t leadInFrames);
  void onEffectCommand(int id, DocumentWindow* document);
  // "VST Plugins..." and "DirectX Effects...": the plug-in dialog, then the
  // chosen effect over the selection.
  void onPluginCommand(int id, DocumentWindow* document);
  // Keeps the selection's noise for the noise-sample subtraction; the
  // document does not change.
  void grabNoiseSample(DocumentWindow* document);
  void onTransportCommand(int id, int notification, DocumentWindow* document);
  // Record: the record dialog, then the recording into document (a new one
  // when null).
  void record(DocumentWindow* document);
  void textToSpeech(DocumentWindow* document);
  void openNewWindow(SoundBuffer sound, bool modified);
  // Audio CD tracks: the load dialog, and each track it sends as a new file.
  void loadCdTracks();
  void openCdTrack(SoundBuffer& sound);
  void offerWindowsClipboard();
  void renderWindowsClipboard();
  bool readWindowsClipboard(SoundBuffer& sound);
  bool closeAll();
  void exitProgram();
  void openRecent(int index);
  void showOptions();
  // Projects.
  void openProjectDialog();
  bool saveProject();
  bool saveProjectAs();
  bool writeProject(const std::string& path);
  // Asks "Save changes to current project?" when there are changes; false
  // when the user cancelled (or a save chosen there failed).
  bool settleProjectChanges();
  bool closeProject();
  bool projectHasChanges() const;
  void updateTitle();
  void projectDocumentLoaded(ProjectDocument loaded);
  // Bookmarks and regions.
  void setBookmark(DocumentWindow* document);
  void showBookmarkList();
  void addRegion(DocumentWindow* document);
  void showRegionList();
  void assembleRegionsToNewFile();
  void selectSpecifiedTime(DocumentWindow* document);
  void storeWindowPlacement();
  void restoreFrame();

  HINSTANCE m_instance;
  HWND m_window = nullptr;
  HWND m_mdiClient = nullptr;
  std::unique_ptr<sys::SettingsStore> m_store;
  EditorSettings m_settings;
  std::string m_dataFolder;
  std::unique_ptr<WindowsFileUi> m_fileUi;
  FormatContext m_formats;
  std::unique_ptr<FrameControls> m_controls;
  std::unique_ptr<PlaybackControl> m_playback;
  std::unique_ptr<CommandBar> m_commandBar;
  std::shared_ptr<const NoiseSample> m_noiseSample;  // the last one grabbed, from any document
  std::vector<DocumentWindow*> m_documents;
  std::vector<UserKey> m_userKeys;
  Clipboard m_clipboard;
  std::unique_ptr<SoundConverter> m_converter;
  bool m_shiftHeld = false;
  bool m_follow = false;
  int32_t m_anchor = 0;
  bool m_exiting = false;
  // Hand-over command lines that arrived while the frame was disabled.
  std::vector<std::vector<std::string>> m_pendingHandOvers;
  bool m_workingFolderChanged = false;
  // The open project: its path (empty when none), whether it changed, and
  // the frame's regions.
  std::string m_projectPath;
  bool m_projectChanged = false;
  std::vector<Region> m_regions;
};
