#pragma once
// The recordings list, "Rezara Recording List": the recordings of the output
// folder in four columns, a menu and a toolbar for what can be done with the
// selected ones (play, edit in the editor, rename, delete, save a copy, edit
// tags, convert, copy to CD, back up), the play control, and a status bar. A
// modeless window beside the recorder's; closing it only hides it.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/formats.h"
#include "recorder/model/recorder_settings.h"
#include "recorder/play_control.h"
#include "ui/component_download.h"
#include "ui/dialog.h"

namespace recorder {

class RecordingsListWindow final : public ui::Dialog {
 public:
  static constexpr const wchar_t* kTitle = L"Rezara Recording List";

  RecordingsListWindow(HINSTANCE instance, RecorderSettings& settings, const FormatContext& formats);
  ~RecordingsListWindow() override;

  // Shows the window (creating it the first time), filled afresh, with
  // select's row selected when it is given.
  void show(HWND owner, const std::string& select = {});
  void hide();
  bool visible() const;
  // The recorder's loop hands each message here first: the window's keys
  // and dialog navigation. True when it was taken.
  bool preTranslate(MSG& message);

 private:
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool onInit() override;
  void onCommand(int id, int code) override;

  void createControls();
  void layout();
  void fill(const std::string& select);
  void rememberSize();
  std::vector<std::string> selectedPaths() const;
  std::string firstSelected() const;
  void showStatus();

  void playSelected();
  void editSelected();
  void renameSelected();
  void deleteSelected();
  void saveSelectedAs();
  void editTagsOfSelected();
  void convertSelected();
  void copyToCd(bool audio);
  void showHelp();
  ui::ComponentDownloadSettings downloads() const;

  HINSTANCE m_instance;
  RecorderSettings& m_settings;
  const FormatContext& m_formats;
  std::string m_folder;  // the output folder the rows come from
  PlayControl m_play;
  HWND m_list = nullptr;
  HWND m_toolbar = nullptr;
  HWND m_statusBar = nullptr;
  HMENU m_menu = nullptr;
  HACCEL m_accelerators = nullptr;
};

}  // namespace recorder
