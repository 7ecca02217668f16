#pragma once
// The recorder's status panel: the state and elapsed time at the top, in
// red-orange while recording and dark grey otherwise, then the file name,
// the format description and the free space, 19 pixels apart, and
// "LOW DISK SPACE" in the bottom-left corner when space is short. Drawn
// off-screen and copied in one piece, so it never flickers. The texts are
// guarded by a lock: they may be set from any thread.

#include <windows.h>

#include <mutex>
#include <string>

namespace recorder {

class StatusPanel {
 public:
  static constexpr COLORREF kWarningColour = RGB(219, 11, 0);
  static constexpr COLORREF kNormalColour = RGB(32, 32, 32);
  static constexpr int kLineSpacing = 19;

  // control: the owner-drawn static the panel draws into.
  void attach(HWND control) { m_control = control; }

  void setState(const std::string& text, bool recording);
  void setElapsed(const std::string& text);
  void setFileName(const std::string& text);
  void setFileInfo(const std::string& text);
  void setSpace(const std::string& text, bool low);

  std::string state() const;
  // Whether a point of the panel (client coordinates) is on the "File Info" line.
  static bool onFileInfoLine(POINT point);
  // Paints into dc's area, from WM_DRAWITEM.
  void draw(HDC dc, const RECT& area) const;

 private:
  void changed();

  HWND m_control = nullptr;
  mutable std::mutex m_lock;
  std::string m_state = "Ready";
  bool m_recording = false;
  std::string m_elapsed = "0:00:00.00";
  std::string m_fileName;
  std::string m_fileInfo;
  std::string m_space;
  bool m_lowDisk = false;
};

}  // namespace recorder
