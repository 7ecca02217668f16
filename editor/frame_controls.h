#pragma once
// The frame's child controls: transport panel (buttons, time display, volume,
// level meter and the selection time fields), the main and effects toolbars,
// the command bar and the status bar.

#include <windows.h>
#include <commctrl.h>

#include "editor/pictures/pictures.h"

#include <string>
#include <vector>

#include "ui/gdi_objects.h"

class FrameControls {
 public:
  FrameControls(HINSTANCE instance, HWND frame);
  ~FrameControls();

  // Lays the controls out in the frame's client area and returns what is
  // left for the documents.
  RECT layout(int width, int height, bool mainToolbar, bool effectsToolbar, bool commandBar, bool commandBarLeft);

  void setTimes(const std::string& cursor, const std::string& selectionStart, const std::string& selectionEnd,
                const std::string& selectionLength, const std::string& fileLength);
  void setStatus(int part, const std::string& text);
  void enableButton(int command, bool enabled);
  // The lit Play picture while the player runs, the lit Stop once it stopped.
  void showPlaying(bool playing);
  // The playback volume in dB (0 at the top, -60 at the bottom).
  void setVolume(int decibels);
  int volume() const;
  bool isVolume(HWND control) const { return control == m_volume; }
  // Levels in dB of full scale (-127 silent) for the meter.
  void setLevels(int left, int right);
  HWND statusBar() const { return m_status; }

 private:
  HWND makeButton(int id, const wchar_t* tip, pictures::TransportPicture picture);
  HWND makeField(int id);
  HWND makeToolbar(const std::vector<std::pair<int, const wchar_t*>>& buttons, bool standardImages);

  HINSTANCE m_instance;
  HWND m_frame;
  HWND m_panel = nullptr;
  std::vector<HWND> m_transport;
  HWND m_timeDisplay = nullptr;
  HWND m_volume = nullptr;
  HWND m_meter = nullptr;
  int m_levels[2] = {-127, -127};
  HWND m_fields[5] = {};
  HWND m_fieldLabels[5] = {};
  HWND m_mainToolbar = nullptr;
  HWND m_effectsToolbar = nullptr;
  HWND m_commandBar = nullptr;
  HWND m_status = nullptr;
  HWND m_tooltip = nullptr;
  ui::Font m_timeFont;
  std::vector<ui::Bitmap> m_bitmaps;
  // Plain and lit pictures of Play and Stop (owned by m_bitmaps).
  HBITMAP m_playPictures[2] = {};
  HBITMAP m_stopPictures[2] = {};
  HIMAGELIST m_effectImages = nullptr;
};
