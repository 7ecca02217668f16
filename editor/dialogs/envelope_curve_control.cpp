#include "editor/dialogs/envelope_curve_control.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

namespace {

// Room around the plot for the labels, in pixels.
constexpr int kMarginLeft = 38, kMarginTop = 11, kMarginRight = 10, kMarginBottom = 20;
constexpr int kHitRadius = 5;   // pixels around a point that pick it up
constexpr int kPointHalf = 3;   // a point is drawn as a square of 2 * this + 1
constexpr int kUnityLevel = 128;

constexpr COLORREF kPlotBackground = RGB(255, 255, 255);
constexpr COLORREF kFrame = RGB(160, 160, 160);
constexpr COLORREF kGrid = RGB(228, 228, 228);
constexpr COLORREF kUnity = RGB(0, 140, 60);
constexpr COLORREF kLabel = RGB(90, 90, 90);
constexpr COLORREF kCurve = RGB(0, 70, 200);
constexpr COLORREF kSelected = RGB(220, 30, 30);

void line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void label(HDC dc, const wchar_t* text, RECT box, UINT format) {
  DrawTextW(dc, text, -1, &box, format | DT_SINGLELINE | DT_NOPREFIX);
}

void square(HDC dc, int x, int y, int half, COLORREF color) {
  RECT box{x - half, y - half, x + half + 1, y + half + 1};
  ui::Brush brush(CreateSolidBrush(color));
  FillRect(dc, &box, brush.get());
}

}  // namespace

bool EnvelopeCurveControl::registerClass(HINSTANCE instance) {
  static const bool registered = [instance] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

EnvelopeCurveControl* EnvelopeCurveControl::of(HWND window) {
  wchar_t className[32] = {};
  if (!window || !GetClassNameW(window, className, 32) || wcscmp(className, kClassName) != 0) return nullptr;
  return reinterpret_cast<EnvelopeCurveControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK EnvelopeCurveControl::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto control = std::make_unique<EnvelopeCurveControl>(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.release()));
  }
  auto* control = reinterpret_cast<EnvelopeCurveControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!control) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    std::unique_ptr<EnvelopeCurveControl> owned(control);  // the window's object ends with it
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return control->handle(message, wParam, lParam);
}

LRESULT EnvelopeCurveControl::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFONT:
      m_font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(m_window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(m_font);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything
    case WM_PAINT: {
      PAINTSTRUCT paintStruct;
      HDC dc = BeginPaint(m_window, &paintStruct);
      RECT client;
      GetClientRect(m_window, &client);
      // Drawn off screen first, so that dragging does not flicker.
      ui::MemoryDc memory;
      memory.reset(CreateCompatibleDC(dc));
      ui::Bitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
      if (memory.get() && bitmap) {
        ui::SelectedObject selected(memory.get(), bitmap.get());
        paint(memory.get());
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
      }
      EndPaint(m_window, &paintStruct);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(m_window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      onButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEMOVE:
      onMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (m_dragging) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      m_dragging = false;
      return 0;
    case WM_MOUSELEAVE:
      m_tracking = false;
      if (!m_dragging) setReadout(std::string());
      return 0;
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      onRemoveAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_KEYDOWN:
      if (onKey(wParam)) return 0;
      break;
  }
  return DefWindowProcW(m_window, message, wParam, lParam);
}

void EnvelopeCurveControl::setCurve(const EnvelopeCurve& curve) {
  m_curve = editableEnvelope(curve);
  m_selected = -1;
  if (m_dragging) ReleaseCapture();
  changed();
}

CurvePlot EnvelopeCurveControl::plot() const {
  RECT client;
  GetClientRect(m_window, &client);
  return {kMarginLeft, kMarginTop, std::max<int>(client.right - kMarginLeft - kMarginRight, 2),
          std::max<int>(client.bottom - kMarginTop - kMarginBottom, 2)};
}

void EnvelopeCurveControl::paint(HDC dc) const {
  RECT client;
  GetClientRect(m_window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const CurvePlot area = plot();
  RECT plotBox{area.left, area.top, area.left + area.width, area.top + area.height};
  ui::Brush background(CreateSolidBrush(kPlotBackground));
  FillRect(dc, &plotBox, background.get());
  HGDIOBJ font = m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(DEFAULT_GUI_FONT);
  ui::SelectedObject selectedFont(dc, font);
  SetBkMode(dc, TRANSPARENT);
  drawGrid(dc, area);
  drawCurve(dc, area);
  if (GetFocus() == m_window) {
    RECT focus = client;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
}

void EnvelopeCurveControl::drawGrid(HDC dc, const CurvePlot& area) const {
  const int left = area.left, right = area.left + area.width - 1;
  const int top = area.top, bottom = area.top + area.height - 1;
  {
    ui::Pen grid(CreatePen(PS_SOLID, 1, kGrid));
    ui::SelectedObject selectedPen(dc, grid.get());
    for (int position : m_gridPositions) {
      const int x = positionToX(area, position);
      line(dc, x, top, x, bottom + 1);
    }
    for (int level : {64, 192}) line(dc, left, levelToY(area, level), right + 1, levelToY(area, level));
  }
  {
    ui::Pen frame(CreatePen(PS_SOLID, 1, kFrame));
    ui::SelectedObject selectedPen(dc, frame.get());
    ui::SelectedObject noFill(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, left - 1, top - 1, right + 2, bottom + 2);
  }
  const int unityY = levelToY(area, kUnityLevel);
  {
    ui::Pen unity(CreatePen(PS_SOLID, 1, kUnity));
    ui::SelectedObject selectedPen(dc, unity.get());
    line(dc, left, unityY, right + 1, unityY);
  }
  // Levels on the left, places in the selection below.
  constexpr int kHalfLine = 8;
  const int labelRight = left - 4;
  SetTextColor(dc, kLabel);
  label(dc, L"199%", {0, top - kHalfLine, labelRight, top + kHalfLine}, DT_RIGHT | DT_VCENTER);
  label(dc, L"0%", {0, bottom - kHalfLine, labelRight, bottom + kHalfLine}, DT_RIGHT | DT_VCENTER);
  const int textTop = bottom + 3, textBottom = bottom + kMarginBottom;
  for (const AxisLabel& mark : m_axisLabels) {
    const int x = positionToX(area, mark.position);
    if (mark.position == 0)
      label(dc, mark.text.c_str(), {left, textTop, left + 80, textBottom}, DT_LEFT | DT_TOP);
    else if (mark.position == 255)
      label(dc, mark.text.c_str(), {right - 80, textTop, right + 1, textBottom}, DT_RIGHT | DT_TOP);
    else
      label(dc, mark.text.c_str(), {x - 40, textTop, x + 40, textBottom}, DT_CENTER | DT_TOP);
  }
  SetTextColor(dc, kUnity);
  label(dc, L"100%", {0, unityY - kHalfLine, labelRight, unityY + kHalfLine}, DT_RIGHT | DT_VCENTER);
}

void EnvelopeCurveControl::drawCurve(HDC dc, const CurvePlot& area) const {
  std::vector<POINT> corners;
  for (const auto& point : m_curve.points)
    corners.push_back({positionToX(area, point.position), levelToY(area, point.level)});
  {
    ui::Pen pen(CreatePen(PS_SOLID, 2, kCurve));
    ui::SelectedObject selectedPen(dc, pen.get());
    Polyline(dc, corners.data(), static_cast<int>(corners.size()));
  }
  for (size_t i = 0; i < corners.size(); ++i) {
    const bool selected = static_cast<int>(i) == m_selected;
    square(dc, corners[i].x, corners[i].y, selected ? kPointHalf + 1 : kPointHalf, selected ? kSelected : kCurve);
  }
}

void EnvelopeCurveControl::onButtonDown(int x, int y) {
  SetFocus(m_window);
  const CurvePlot area = plot();
  int hit = envelopePointAt(m_curve, area, x, y, kHitRadius);
  if (hit < 0) {
    // Only a click on the plot (or just beside it) adds a point.
    const bool onPlot = x >= area.left - kHitRadius && x < area.left + area.width + kHitRadius &&
                        y >= area.top - kHitRadius && y < area.top + area.height + kHitRadius;
    if (!onPlot) return;
    hit = addEnvelopePoint(m_curve, positionAtX(area, x), levelAtY(area, y));
    if (hit < 0) {
      MessageBeep(MB_ICONWARNING);  // the curve holds no more points
      return;
    }
    changed();
  }
  select(hit);
  // The point keeps its place under the mouse instead of jumping onto it.
  const auto& point = m_curve.points[static_cast<size_t>(hit)];
  m_grabOffset = {positionToX(area, point.position) - x, levelToY(area, point.level) - y};
  m_dragging = true;
  SetCapture(m_window);
}

void EnvelopeCurveControl::onMouseMove(int x, int y) {
  if (!m_tracking) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_window, 0};
    m_tracking = TrackMouseEvent(&track) != FALSE;
  }
  const CurvePlot area = plot();
  if (m_dragging && m_selected >= 0) {
    moveEnvelopePoint(m_curve, static_cast<size_t>(m_selected), positionAtX(area, x + m_grabOffset.x),
                      levelAtY(area, y + m_grabOffset.y));
    changed();
    select(m_selected);
    return;
  }
  const int hover = envelopePointAt(m_curve, area, x, y, kHitRadius);
  if (hover >= 0) {
    const auto& point = m_curve.points[static_cast<size_t>(hover)];
    setReadout(m_pointText(point.position, point.level));
  } else if (x >= area.left && x < area.left + area.width && y >= area.top && y < area.top + area.height) {
    setReadout(m_pointText(positionAtX(area, x), levelAtY(area, y)));
  } else {
    setReadout(std::string());
  }
}

void EnvelopeCurveControl::onRemoveAt(int x, int y) {
  const int hit = envelopePointAt(m_curve, plot(), x, y, kHitRadius);
  if (hit < 0 || !removeEnvelopePoint(m_curve, static_cast<size_t>(hit))) return;
  if (m_dragging) ReleaseCapture();
  m_selected = m_selected == hit ? -1 : m_selected > hit ? m_selected - 1 : m_selected;
  changed();
  onMouseMove(x, y);
}

bool EnvelopeCurveControl::onKey(WPARAM key) {
  const int last = static_cast<int>(m_curve.points.size()) - 1;
  if (key == VK_PRIOR || key == VK_NEXT) {
    select(m_selected < 0 ? 0 : std::clamp(m_selected + (key == VK_NEXT ? 1 : -1), 0, last));
    return true;
  }
  if (m_selected < 0) return false;
  const auto index = static_cast<size_t>(m_selected);
  const EnvelopePoint point = m_curve.points[index];
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      moveEnvelopePoint(m_curve, index, point.position + (key == VK_RIGHT ? 1 : -1), point.level);
      break;
    case VK_UP:
    case VK_DOWN:
      moveEnvelopePoint(m_curve, index, point.position, point.level + (key == VK_UP ? 1 : -1));
      break;
    case VK_DELETE:
      if (!removeEnvelopePoint(m_curve, index)) return true;
      m_selected = -1;
      break;
    case VK_INSERT: {
      // Half way to the next point (or from the one before, after the last).
      const size_t from = m_selected == last ? index - 1 : index;
      const auto& a = m_curve.points[from];
      const auto& b = m_curve.points[from + 1];
      const int added = addEnvelopePoint(m_curve, (a.position + b.position) / 2, (a.level + b.level) / 2);
      if (added < 0) {
        MessageBeep(MB_ICONWARNING);
        return true;
      }
      m_selected = added;
      break;
    }
    default:
      return false;
  }
  changed();
  select(m_selected);
  return true;
}

void EnvelopeCurveControl::select(int index) {
  m_selected = index;
  InvalidateRect(m_window, nullptr, FALSE);
  if (index >= 0) {
    const auto& point = m_curve.points[static_cast<size_t>(index)];
    setReadout(m_pointText(point.position, point.level));
  }
}

void EnvelopeCurveControl::changed() {
  InvalidateRect(m_window, nullptr, FALSE);
  notify(kCurveChanged);
}

void EnvelopeCurveControl::setReadout(std::string text) {
  if (text == m_readout) return;
  m_readout = std::move(text);
  notify(kReadoutChanged);
}

void EnvelopeCurveControl::notify(WORD code) const {
  SendMessageW(GetParent(m_window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_window), code),
               reinterpret_cast<LPARAM>(m_window));
}
