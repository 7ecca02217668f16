#pragma once
// The play control of the recordings list (window class "LPlayDlg"): Play
// and Stop for one recording and the time played, over the system's wave
// output through the shared player.

#include <windows.h>

#include <memory>
#include <string>

#include "devices/wave_player.h"
#include "formats/formats.h"
#include "ui/dialog.h"
#include "ui/notifier_window.h"

namespace recorder {

class PlayControl final : public ui::Dialog, private PlayerListener {
 public:
  static constexpr const wchar_t* kWindowClass = L"LPlayDlg";
  static constexpr int kPlay = 201, kStop = 202, kTime = 203;

  PlayControl(HINSTANCE instance, const FormatContext& formats);
  ~PlayControl() override;

  // Creates the control inside parent.
  bool create(HWND parent);
  // Plays the file from its start; false (nothing playing) when it cannot be
  // opened or no output device takes it.
  bool play(const std::string& path);
  void stop();
  bool playing() const;
  // The file Play starts when nothing is given.
  void setFile(const std::string& path) { m_file = path; }

 private:
  void onCommand(int id, int code) override;
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void showTime();
  // PlayerListener.
  void started(void*) override { showTime(); }
  void stopped(void*) override { showTime(); }
  void position(int32_t, void*) override { showTime(); }

  const FormatContext& m_formats;
  std::string m_file;
  std::unique_ptr<ui::NotifierWindow> m_notifier;
  std::unique_ptr<WavePlayer> m_player;
};

}  // namespace recorder
