#pragma once
// The recorder's icon in the notification area: shown while the window is
// closed to the tray, with the recording icon and tip "Recording" while
// recording and the normal icon and tip "Rezara" otherwise. Clicks arrive at
// the owner window as kTrayMessage.

#include <windows.h>

#include <string>

namespace recorder {

class TrayIcon {
 public:
  static constexpr UINT kTrayMessage = WM_APP + 1;

  TrayIcon();
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void attach(HWND owner) { m_owner = owner; }
  void show();
  void hide();
  bool shown() const { return m_shown; }
  void setRecording(bool recording);
  // The window's own icons (title bar and task bar) follow the state too.
  HICON bigIcon(bool recording) const { return recording ? m_bigRecording : m_bigNormal; }
  HICON smallIcon(bool recording) const { return recording ? m_smallRecording : m_smallNormal; }
  // The tray's menu at the cursor; the chosen command goes to the owner.
  void showMenu(HINSTANCE instance, int menuId);

 private:
  void update(DWORD message);

  HWND m_owner = nullptr;
  bool m_shown = false;
  bool m_recording = false;
  HICON m_smallNormal, m_smallRecording, m_bigNormal, m_bigRecording;
};

}  // namespace recorder
