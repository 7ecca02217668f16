#include "editor/tfft_window.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "core/sample.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/analysis_view.h"
#include "editor/model/time_text.h"
#include "editor/model/view_state.h"
#include "ui/text.h"

namespace {

constexpr COLORREF kGridColour = RGB(160, 160, 160);
constexpr int kLeftMargin = 56;
constexpr int kBottomMargin = 18;
constexpr int kBandLineHz = 100;  // one click of the band's scroll bar

// 1, 2 or 5 times a power of ten, at least `rough`.
int64_t roundStep(double rough) {
  int64_t step = 1;
  while (true) {
    for (int factor : {1, 2, 5})
      if (step * factor >= rough) return step * factor;
    step *= 10;
  }
}

}  // namespace

TfftWindow::TfftWindow(Frame& frame, HWND document, Spectrogram spectrogram)
    : AnalysisWindow(frame), m_document(document), m_data(std::move(spectrogram)),
      m_brightness(kDefaultBrightness), m_grid(frame.settings().gridToggle()),
      m_fullRange(frame.settings().tfftFullZoomOn()), m_bandStartHz(frame.settings().tfftVScroll()) {}

void TfftWindow::show(Frame& frame, HWND document, Spectrogram spectrogram) {
  if (auto* open = static_cast<TfftWindow*>(find(frame, kClassName))) {
    open->m_document = document;
    open->m_data = std::move(spectrogram);
    open->setReadout("");
    open->settingsChanged();
    open->bringToFront();
    return;
  }
  open(std::unique_ptr<AnalysisWindow>(new TfftWindow(frame, document, std::move(spectrogram))), kClassName,
       L"Temporal Frequency Analysis");
}

void TfftWindow::close(Frame& frame) {
  if (AnalysisWindow* open = find(frame, kClassName))
    SendMessageW(frame.mdiClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(open->handle()), 0);
}

void TfftWindow::onCreate() {
  m_brightnessBar = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, 0, 0,
                                    10, 10, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBrightness)),
                                    m_frame.instance(), nullptr);
  SendMessageW(m_brightnessBar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
  SendMessageW(m_brightnessBar, TBM_SETPOS, TRUE, m_brightness);
  addTip(m_brightnessBar, L"Change the brightness level of the graph");
  m_gridButton = addButton(kGrid, L"Grid", L"Toggle the gridlines on or off", BS_AUTOCHECKBOX | BS_PUSHLIKE);
  addButton(kZoomIn, L"0 - 4000 Hz", L"Zoom In to the 0 - 4000Hz range");
  addButton(kZoomOut, L"Full Range", L"Zoom Out to see the full graph");
  addButton(kReselect, L"Reselect Region", L"Reselect this analysis region in the audio waveform");
  m_bandScroll = addScrollBar(kBandScroll, true, nullptr);
  settingsChanged();
}

void TfftWindow::layout() {
  struct Place {
    HWND control;
    int width;
  };
  const Place places[] = {{m_brightnessBar, 130}, {m_gridButton, 50}, {GetDlgItem(m_window, kZoomIn), 90},
                          {GetDlgItem(m_window, kZoomOut), 80}, {GetDlgItem(m_window, kReselect), 110}};
  int x = 4;
  for (const Place& place : places) {
    MoveWindow(place.control, x, 3, place.width, kButtonRowHeight - 6, TRUE);
    x += place.width + 6;
  }
  const RECT body = bodyArea();
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  MoveWindow(m_bandScroll, body.right - bar, body.top, bar, body.bottom - body.top, TRUE);
  m_imageValid = false;
}

RECT TfftWindow::plotArea() const {
  RECT plot = bodyArea();
  plot.left += kLeftMargin;
  plot.top += 6;
  plot.right = std::max<LONG>(plot.left + 1, plot.right - GetSystemMetrics(SM_CXVSCROLL) - 6);
  plot.bottom = std::max<LONG>(plot.top + 1, plot.bottom - kBottomMargin);
  return plot;
}

void TfftWindow::settingsChanged() {
  const int largest = largestBandStartHz(m_data.sampleRate);
  m_bandStartHz = std::clamp(m_bandStartHz, 0, largest);
  SendMessageW(m_gridButton, BM_SETCHECK, m_grid ? BST_CHECKED : BST_UNCHECKED, 0);
  // The band scrolls with the highest frequencies at the top.
  setScroll(m_bandScroll, largest + kZoomedBandHz - 1, kZoomedBandHz, largest - m_bandStartHz);
  EnableWindow(m_bandScroll, !m_fullRange && largest > 0);
  EnableWindow(GetDlgItem(m_window, kZoomIn), m_fullRange);
  EnableWindow(GetDlgItem(m_window, kZoomOut), !m_fullRange);
  EditorSettings& settings = m_frame.settings();
  settings.setGridToggle(m_grid);
  settings.setTfftFullZoomOn(m_fullRange);
  settings.setTfftVScroll(m_bandStartHz);
  m_imageValid = false;
  InvalidateRect(m_window, nullptr, FALSE);
}

void TfftWindow::renderImage(int width, int height) {
  m_image.assign(static_cast<size_t>(width) * height, 0);
  m_imageWidth = width;
  m_imageHeight = height;
  m_imageValid = true;
  if (m_data.cells.empty()) return;
  const SpectrogramBand band = spectrogramBand(m_data, m_fullRange, m_bandStartHz);
  std::vector<uint16_t> loudest(band.binCount);
  for (int x = 0; x < width; ++x) {
    // The loudest cell of each bin over the columns under this pixel column.
    const PixelSpan columns = pixelSpan(x, width, m_data.layout.columns);
    std::fill(loudest.begin(), loudest.end(), 0);
    for (int64_t column = columns.first; column < columns.end; ++column)
      for (int bin = 0; bin < band.binCount; ++bin)
        loudest[bin] = std::max(loudest[bin], m_data.cell(column, band.firstBin + bin));
    for (int y = 0; y < height; ++y) {
      // Rows count from the bottom.
      const PixelSpan bins = pixelSpan(height - 1 - y, height, band.binCount);
      uint16_t cell = 0;
      for (int64_t bin = bins.first; bin < bins.end; ++bin) cell = std::max(cell, loudest[bin]);
      m_image[static_cast<size_t>(y) * width + x] = spectrogramColour(cell, m_brightness);
    }
  }
}

void TfftWindow::paintGraph(HDC dc, const RECT&) {
  const RECT plot = plotArea();
  const int width = plot.right - plot.left, height = plot.bottom - plot.top;
  if (!m_imageValid || width != m_imageWidth || height != m_imageHeight) renderImage(width, height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, plot.left, plot.top, width, height, 0, 0, 0, height, m_image.data(), &info, DIB_RGB_COLORS);
  drawGrid(dc, plot);
}

void TfftWindow::drawGrid(HDC dc, const RECT& plot) {
  const int width = plot.right - plot.left, height = plot.bottom - plot.top;
  const SpectrogramBand band = spectrogramBand(m_data, m_fullRange, m_bandStartHz);
  const int32_t rate = std::max(m_data.sampleRate, 1);
  const double binHz = static_cast<double>(rate) / (1 << m_data.layout.order);
  const double lowHz = band.firstBin * binHz, spanHz = band.binCount * binHz;
  const double startMs = m_data.start * 1000.0 / rate, spanMs = m_data.length * 1000.0 / rate;
  ui::SelectedObject selectedFont(dc, font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  ui::Pen pen(CreatePen(PS_DOT, 1, kGridColour));
  ui::SelectedObject selectedPen(dc, pen.get());
  SetBkColor(dc, RGB(0, 0, 0));
  const int64_t hzStep = roundStep(spanHz / std::max(height / 40, 2));
  for (int64_t hz = static_cast<int64_t>(lowHz / hzStep + 1) * hzStep; hz < lowHz + spanHz; hz += hzStep) {
    const int y = plot.bottom - static_cast<int>((hz - lowHz) * height / spanHz);
    if (m_grid) {
      MoveToEx(dc, plot.left, y, nullptr);
      LineTo(dc, plot.right, y);
    }
    RECT box{plot.left - kLeftMargin, y - 7, plot.left - 4, y + 7};
    DrawTextW(dc, ui::widen(ui::formatText("%lld Hz", static_cast<long long>(hz))).c_str(), -1, &box,
              DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  const int64_t msStep = roundStep(spanMs / std::max(width / 100, 2));
  for (int64_t ms = static_cast<int64_t>(startMs / msStep + 1) * msStep; ms < startMs + spanMs; ms += msStep) {
    const int x = plot.left + static_cast<int>((ms - startMs) * width / spanMs);
    if (m_grid) {
      MoveToEx(dc, x, plot.top, nullptr);
      LineTo(dc, x, plot.bottom);
    }
    RECT box{x - 60, plot.bottom + 2, x + 60, plot.bottom + kBottomMargin};
    DrawTextW(dc, ui::widen(formatTimeTenths(ms)).c_str(), -1, &box, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

void TfftWindow::showReadoutAt(int x, int y) {
  const RECT plot = plotArea();
  if (x < plot.left || x >= plot.right || y < plot.top || y >= plot.bottom || m_data.cells.empty()) return;
  const SpectrogramBand band = spectrogramBand(m_data, m_fullRange, m_bandStartHz);
  PixelSpan bins = pixelSpan(plot.bottom - 1 - y, plot.bottom - plot.top, band.binCount);
  bins.first += band.firstBin;
  bins.end += band.firstBin;
  setReadout(spectrogramReadout(m_data, pixelSpan(x - plot.left, plot.right - plot.left, m_data.layout.columns), bins));
}

void TfftWindow::reselect() {
  // The file may have been closed since; its window is then no file's any more.
  DocumentWindow* document = DocumentWindow::fromHandle(m_document);
  const auto& open = m_frame.documents();
  if (!document || std::find(open.begin(), open.end(), document) == open.end()) {
    setReadout("The analysed file is no longer open.");
    return;
  }
  ViewState& view = document->view();
  setSelection(view, m_data.start, static_cast<int64_t>(m_data.start) + m_data.length, document->length());
  view.cursor = view.selectionStart;
  scrollToShowCursor(view, document->length());
  SendMessageW(m_frame.mdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document->handle()), 0);
  document->viewChanged();
}

LRESULT TfftWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kGrid: m_grid = SendMessageW(m_gridButton, BM_GETCHECK, 0, 0) == BST_CHECKED; break;
        case kZoomIn: m_fullRange = false; break;
        case kZoomOut: m_fullRange = true; break;
        case kReselect: reselect(); return 0;
        default: return AnalysisWindow::handleMessage(message, wParam, lParam);
      }
      settingsChanged();
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == m_brightnessBar) {
        m_brightness = static_cast<int>(SendMessageW(m_brightnessBar, TBM_GETPOS, 0, 0));
        m_imageValid = false;
        InvalidateRect(m_window, nullptr, FALSE);
      }
      return 0;
    case WM_VSCROLL: {
      const int largest = largestBandStartHz(m_data.sampleRate);
      const int fromTop = scrollRequest(m_bandScroll, LOWORD(wParam), largest - m_bandStartHz, kBandLineHz,
                                        kZoomedBandHz);
      m_bandStartHz = largest - std::clamp(fromTop, 0, largest);
      settingsChanged();
      return 0;
    }
    case WM_MOUSEMOVE:
      showReadoutAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
  }
  return AnalysisWindow::handleMessage(message, wParam, lParam);
}
