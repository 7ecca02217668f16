#pragma once
// What the two analysis windows share: an MDI child of the frame that is
// created once and then reused, a row of buttons with tips, a graph drawn
// off screen and copied in one go, and a read-out line under it.

#include <windows.h>

#include <memory>
#include <string>

#include "ui/gdi_objects.h"

class Frame;

class AnalysisWindow {
 public:
  virtual ~AnalysisWindow() = default;
  AnalysisWindow(const AnalysisWindow&) = delete;
  AnalysisWindow& operator=(const AnalysisWindow&) = delete;

  HWND handle() const { return m_window; }

 protected:
  explicit AnalysisWindow(Frame& frame) : m_frame(frame) {}

  // The open window of a class among the frame's MDI children, or null.
  static AnalysisWindow* find(Frame& frame, const wchar_t* className);
  // Creates the MDI child, which then owns the object and deletes it when
  // destroyed, and arranges the frame's windows when the user wants that.
  // False when the window could not be made.
  static bool open(std::unique_ptr<AnalysisWindow> window, const wchar_t* className, const wchar_t* title);
  void bringToFront();

  HWND addButton(int id, const wchar_t* text, const wchar_t* tip, DWORD style = BS_PUSHBUTTON);
  HWND addScrollBar(int id, bool vertical, const wchar_t* tip);
  void addTip(HWND control, const wchar_t* tip);
  void setReadout(const std::string& text);
  HFONT font() const;

  // The area under the button row and above the read-out.
  RECT bodyArea() const;
  static constexpr int kButtonRowHeight = 28;
  static constexpr int kReadoutHeight = 20;

  // Sets a scroll bar's range, page and position.
  static void setScroll(HWND bar, int maximum, int page, int position);
  // The position a scroll request asks for, from the current one.
  static int scrollRequest(HWND bar, int request, int position, int line, int page);

  virtual void onCreate() = 0;
  virtual void layout() = 0;
  virtual void paintGraph(HDC dc, const RECT& client) = 0;
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  Frame& m_frame;
  HWND m_window = nullptr;

 private:
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  void paint();

  HWND m_tooltip = nullptr;
  HWND m_readout = nullptr;
};
