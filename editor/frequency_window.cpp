#include "editor/frequency_window.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "editor/frame.h"
#include "ui/text.h"

namespace {

constexpr COLORREF kBackground = RGB(0, 0, 0);
constexpr COLORREF kGrid = RGB(48, 64, 48);
constexpr COLORREF kLabels = RGB(0, 0, 0);
constexpr COLORREF kChannelColours[2] = {RGB(102, 255, 102), RGB(255, 140, 60)};
// Room for the level labels on the left and the frequency labels below.
constexpr int kLeftMargin = 56;
constexpr int kBottomMargin = 18;
constexpr int kButtonWidth = 126;

struct ButtonText {
  int id;
  const wchar_t* text;
};
constexpr ButtonText kButtons[] = {{FrequencyWindow::kZoomDefault, L"Zoom to Default"},
                                   {FrequencyWindow::kZoomInHorizontal, L"Horizontal Zoom In"},
                                   {FrequencyWindow::kZoomOutHorizontal, L"Horizontal Zoom Out"},
                                   {FrequencyWindow::kZoomInVertical, L"Vertical Zoom In"},
                                   {FrequencyWindow::kZoomOutVertical, L"Vertical Zoom Out"}};

// A step of 1, 2 or 5 times a power of ten that puts about `marks` marks
// across range.
int niceStep(double range, int marks) {
  const double rough = std::max(range / std::max(marks, 1), 1.0);
  int step = 1;
  while (true) {
    for (int factor : {1, 2, 5})
      if (step * factor >= rough) return step * factor;
    step *= 10;
  }
}

void drawText(HDC dc, int x, int y, const std::wstring& text, UINT align) {
  RECT box{x - 60, y, x + 60, y + 14};
  if (align == DT_RIGHT) box = {x - 120, y - 7, x, y + 7};
  DrawTextW(dc, text.c_str(), -1, &box, align | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
}

}  // namespace

FrequencyWindow::FrequencyWindow(Frame& frame, SpectrumRecord record)
    : AnalysisWindow(frame), m_record(std::move(record)) {}

void FrequencyWindow::show(Frame& frame, SpectrumRecord record) {
  if (auto* open = static_cast<FrequencyWindow*>(find(frame, kClassName))) {
    open->m_record = std::move(record);
    open->setReadout("");
    open->bringToFront();
    return;
  }
  open(std::unique_ptr<AnalysisWindow>(new FrequencyWindow(frame, std::move(record))), kClassName,
       L"Frequency Analysis");
}

void FrequencyWindow::onCreate() {
  for (const ButtonText& button : kButtons) addButton(button.id, button.text, nullptr);
  m_horizontal = addScrollBar(kHorizontalScroll, false, L"Click to scroll the frequency window horizontally");
  m_vertical = addScrollBar(kVerticalScroll, true, L"Click to scroll the frequency window vertically");
  viewChanged();
}

void FrequencyWindow::layout() {
  int x = 4;
  for (const ButtonText& button : kButtons) {
    MoveWindow(GetDlgItem(m_window, button.id), x, 3, kButtonWidth, kButtonRowHeight - 6, TRUE);
    x += kButtonWidth + 4;
  }
  const RECT body = bodyArea();
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  MoveWindow(m_vertical, body.right - bar, body.top, bar, std::max<int>(body.bottom - body.top - bar, 0), TRUE);
  MoveWindow(m_horizontal, 0, body.bottom - bar, std::max<int>(body.right - bar, 0), bar, TRUE);
}

RECT FrequencyWindow::plotArea() const {
  RECT plot = bodyArea();
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  plot.left += kLeftMargin;
  plot.top += 6;
  plot.right = std::max<LONG>(plot.left + 1, plot.right - bar - 6);
  plot.bottom = std::max<LONG>(plot.top + 1, plot.bottom - bar - kBottomMargin);
  return plot;
}

void FrequencyWindow::viewChanged() {
  setScroll(m_horizontal, kSpectrumBins - 1, m_view.binSpan, m_view.firstBin);
  setScroll(m_vertical, SpectrumView::kFullDbSpan - 1, m_view.dbSpan, m_view.dbFromTop());
  InvalidateRect(m_window, nullptr, FALSE);
}

void FrequencyWindow::paintGraph(HDC dc, const RECT&) {
  const RECT plot = plotArea();
  const int width = plot.right - plot.left, height = plot.bottom - plot.top;
  ui::Brush background(CreateSolidBrush(kBackground));
  FillRect(dc, &plot, background.get());
  ui::SelectedObject selectedFont(dc, font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kLabels);

  // Level lines with their labels on the left.
  ui::Pen grid(CreatePen(PS_SOLID, 1, kGrid));
  {
    ui::SelectedObject selected(dc, grid.get());
    const int step = niceStep(m_view.dbSpan, std::max(height / 40, 2));
    for (int db = (m_view.lowDb / step) * step; db <= m_view.lowDb + m_view.dbSpan; db += step) {
      if (db < m_view.lowDb) continue;
      const int y = plot.top + m_view.yOfDb(db, height);
      MoveToEx(dc, plot.left, y, nullptr);
      LineTo(dc, plot.right, y);
      drawText(dc, plot.left - 4, y, ui::widen(ui::formatText("%d dB", db)), DT_RIGHT);
    }
    // Frequency marks below, at round numbers of hertz.
    const double firstHz = static_cast<double>(m_view.firstBin) * m_record.sampleRate / kSpectrumSize;
    const double spanHz = static_cast<double>(m_view.binSpan) * m_record.sampleRate / kSpectrumSize;
    const int stepHz = niceStep(spanHz, std::max(width / 90, 2));
    for (int64_t hz = static_cast<int64_t>(firstHz / stepHz + 1) * stepHz; hz < firstHz + spanHz; hz += stepHz) {
      const int x = plot.left + static_cast<int>((hz - firstHz) * width / spanHz);
      MoveToEx(dc, x, plot.top, nullptr);
      LineTo(dc, x, plot.bottom);
      drawText(dc, x, plot.bottom + 2, ui::widen(ui::formatText("%lld Hz", static_cast<long long>(hz))), DT_CENTER);
    }
  }

  // Each channel's curve: the loudest bin under every pixel column.
  ui::GdiObject<HRGN> clip(CreateRectRgn(plot.left, plot.top, plot.right, plot.bottom));
  SelectClipRgn(dc, clip.get());
  for (int channel = 0; channel < m_record.channels(); ++channel) {
    ui::Pen pen(CreatePen(PS_SOLID, 1, kChannelColours[channel]));
    ui::SelectedObject selected(dc, pen.get());
    std::vector<POINT> points;
    for (int x = 0; x < width; ++x) {
      const PixelSpan bins = m_view.binsAt(x, width);
      int level = kSilentLevel;
      for (int64_t bin = bins.first; bin < bins.end; ++bin)
        level = std::max(level, m_record.level(channel, static_cast<int>(bin)));
      points.push_back({plot.left + x, plot.top + m_view.yOfDb(level, height)});
    }
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  SelectClipRgn(dc, nullptr);
  if (m_record.stereo) {
    for (int channel = 0; channel < 2; ++channel) {
      SetTextColor(dc, kChannelColours[channel]);
      drawText(dc, plot.right - 8, plot.top + 10 + 14 * channel, channel == 0 ? L"Left" : L"Right", DT_RIGHT);
    }
  }
}

void FrequencyWindow::showReadoutAt(int x, int y) {
  const RECT plot = plotArea();
  if (x < plot.left || x >= plot.right || y < plot.top || y >= plot.bottom) return;
  setReadout(spectrumReadout(m_record, m_view.binsAt(x - plot.left, plot.right - plot.left)));
}

LRESULT FrequencyWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kZoomDefault: m_view.zoomToDefault(); break;
        case kZoomInHorizontal: m_view.zoomHorizontally(true); break;
        case kZoomOutHorizontal: m_view.zoomHorizontally(false); break;
        case kZoomInVertical: m_view.zoomVertically(true); break;
        case kZoomOutVertical: m_view.zoomVertically(false); break;
        default: return AnalysisWindow::handleMessage(message, wParam, lParam);
      }
      viewChanged();
      return 0;
    case WM_HSCROLL:
      m_view.scrollToBin(scrollRequest(m_horizontal, LOWORD(wParam), m_view.firstBin,
                                       std::max(m_view.binSpan / 16, 1), m_view.binSpan));
      viewChanged();
      return 0;
    case WM_VSCROLL:
      m_view.scrollToDbFromTop(scrollRequest(m_vertical, LOWORD(wParam), m_view.dbFromTop(),
                                             std::max(m_view.dbSpan / 16, 1), m_view.dbSpan));
      viewChanged();
      return 0;
    case WM_MOUSEMOVE:
      showReadoutAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
  }
  return AnalysisWindow::handleMessage(message, wParam, lParam);
}
