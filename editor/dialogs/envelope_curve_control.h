#pragma once
// The envelope curve control (window class "LEnvelopeCurve"), placed in a
// dialog like any other control. It draws a curve across the selection
// (start on the left, end on the right, louder upwards, with the original
// level marked) and lets the user edit it with the mouse: a click adds a
// point, a drag moves one, a right-click or double-click removes one. With
// the focus, Page Up and Page Down choose a point, the arrow keys move it,
// Insert adds one after it and Delete removes it.
//
// It tells its parent through WM_COMMAND with its id and a notification
// code: kCurveChanged after every edit, kReadoutChanged when the readout
// (the point or place under the mouse) changes.

#include <windows.h>

#include <string>
#include <vector>

#include "editor/model/envelope_editing.h"
#include "ui/gdi_objects.h"

class EnvelopeCurveControl {
 public:
  static constexpr const wchar_t* kClassName = L"LEnvelopeCurve";
  static constexpr WORD kCurveChanged = 1;
  static constexpr WORD kReadoutChanged = 2;

  // Registers the window class the first time; true once it exists.
  static bool registerClass(HINSTANCE instance);
  // The control object of a window of this class, or null.
  static EnvelopeCurveControl* of(HWND window);

  // Takes a copy of the curve in its editable form (see editableEnvelope).
  void setCurve(const EnvelopeCurve& curve);
  const EnvelopeCurve& curve() const { return m_curve; }
  // "Position 40 %   Level 100 %", or empty when the mouse is elsewhere.
  const std::string& readout() const { return m_readout; }
  // For curves over another axis (the equalizer's frequencies): how a
  // point reads, where the vertical grid lines go and the labels below
  // (the one at 0 left-aligned, the one at 255 right-aligned).
  using PointText = std::string (*)(int position, int level);
  struct AxisLabel {
    int position;
    std::wstring text;
  };
  void setAxis(PointText pointText, std::vector<int> gridPositions, std::vector<AxisLabel> labels) {
    m_pointText = pointText;
    m_gridPositions = std::move(gridPositions);
    m_axisLabels = std::move(labels);
    InvalidateRect(m_window, nullptr, FALSE);
  }

  // Made by the window when it is created, and gone with it.
  explicit EnvelopeCurveControl(HWND window) : m_window(window) {}

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  CurvePlot plot() const;
  void paint(HDC dc) const;
  void drawGrid(HDC dc, const CurvePlot& area) const;
  void drawCurve(HDC dc, const CurvePlot& area) const;

  void onButtonDown(int x, int y);
  void onMouseMove(int x, int y);
  void onRemoveAt(int x, int y);
  bool onKey(WPARAM key);
  void select(int index);
  void changed();
  void setReadout(std::string text);
  void notify(WORD code) const;

  HWND m_window;
  HFONT m_font = nullptr;  // the dialog's, not owned
  EnvelopeCurve m_curve = flatEnvelope();
  int m_selected = -1;
  bool m_dragging = false;
  POINT m_grabOffset{};     // from the mouse to the dragged point, in pixels
  bool m_tracking = false;  // asked to hear when the mouse leaves
  std::string m_readout;
  PointText m_pointText = envelopePointText;
  std::vector<int> m_gridPositions{63, 127, 191};  // quarters of the selection
  std::vector<AxisLabel> m_axisLabels{{0, L"Start"}, {128, L"50%"}, {255, L"End"}};
};
