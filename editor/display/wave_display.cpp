#include "editor/display/wave_display.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "core/sample.h"

namespace {

using display::WavePainter;

// How long closing waits for the peak thread. Every routine it runs returns
// after the column in hand once asked, so this is a bound, not a wait.
constexpr DWORD kThreadStopWaitMs = 5000;

bool registerClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  // An own device context, and a full repaint on any resize: the columns
  // scale with both dimensions.
  windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = className;
  return RegisterClassExW(&windowClass) != 0;
}

std::pair<int64_t, int64_t> ordered(int64_t a, int64_t b) { return a <= b ? std::pair(a, b) : std::pair(b, a); }

}  // namespace

WaveDisplay::WaveDisplay() : m_worker(std::make_shared<display::PeakWorker>()) {}

std::unique_ptr<WaveDisplay> WaveDisplay::create(HWND parent, int id, const RECT& area,
                                                 const wchar_t* className) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registerClass(instance, className, windowProc)) return nullptr;
  std::unique_ptr<WaveDisplay> display(new WaveDisplay());
  HWND window = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, area.left, area.top,
                                area.right - area.left, area.bottom - area.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, display.get());
  if (!window) return nullptr;
  display->m_worker->setWindow(window, WavePainter::kBorder);
  if (!display->m_thread.start(display->m_worker, THREAD_PRIORITY_BELOW_NORMAL)) return nullptr;
  return display;
}

WaveDisplay::~WaveDisplay() {
  close();
  stopThread();
}

void WaveDisplay::close() {
  if (m_window) DestroyWindow(m_window);  // WM_DESTROY stops the thread
}

void WaveDisplay::stopThread() {
  m_worker->requestStop();
  m_thread.stop(kThreadStopWaitMs);
  // Should the thread outlast the wait, it finds no window to touch.
  m_worker->setWindow(nullptr, 0);
}

void WaveDisplay::setSound(const SoundBuffer& buffer) {
  m_sampleRate = buffer.sampleRate() > 0 ? buffer.sampleRate() : 44100;
  m_channels = buffer.channels() > 0 ? buffer.channels() : 1;
  m_totalFrames = buffer.totalFrames();
  m_worker->setSound(buffer);
  setBookmarks(std::move(m_bookmarkMs));
}

void WaveDisplay::updateView(const std::function<void(display::PeakView&)>& change) {
  display::PeakView view = m_worker->view();
  change(view);
  m_worker->setView(view);
}

void WaveDisplay::setRange(int64_t firstFrame, int64_t span) {
  updateView([&](display::PeakView& view) {
    view.firstFrame = firstFrame;
    view.span = span;
  });
}

void WaveDisplay::setMode(int mode, bool verticalZoom) {
  updateView([&](display::PeakView& view) {
    view.displayMode = mode;
    view.verticalZoom = verticalZoom;
  });
}

void WaveDisplay::setCursor(int64_t frame) {
  m_marks.cursor = frame;
  repaint();
}

void WaveDisplay::setSelection(int64_t start, int64_t end) {
  std::tie(m_marks.selectionStart, m_marks.selectionEnd) = ordered(start, end);
  repaint();
}

void WaveDisplay::setHighlight(int64_t start, int64_t end) {
  std::tie(m_marks.highlightStart, m_marks.highlightEnd) = ordered(start, end);
  repaint();
}

void WaveDisplay::setBookmarks(std::vector<int64_t> milliseconds) {
  m_bookmarkMs = std::move(milliseconds);
  m_marks.bookmarkFrames.clear();
  for (int64_t ms : m_bookmarkMs) m_marks.bookmarkFrames.push_back(msToFrames(ms, m_sampleRate));
  repaint();
}

void WaveDisplay::repaint() {
  if (m_window) InvalidateRect(m_window, nullptr, FALSE);
}

int64_t WaveDisplay::frameAtPixel(int x) const {
  display::PeakView view = m_worker->view();
  return display::columnFirstFrame(view.firstFrame, view.framesPerPixel(), x);
}

int WaveDisplay::pixelOfFrame(int64_t frame) const {
  display::PeakView view = m_worker->view();
  return display::columnOfFrame(view.firstFrame, view.framesPerPixel(), frame);
}

double WaveDisplay::framesPerPixel() const { return m_worker->view().framesPerPixel(); }

int WaveDisplay::columns() const { return m_worker->view().columns; }

bool WaveDisplay::peaksReady() const { return m_worker->ready(); }

bool WaveDisplay::waitForPeaks(DWORD timeoutMs) const {
  DWORD start = GetTickCount();
  while (!peaksReady()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(2);
  }
  return true;
}

std::vector<uint8_t> WaveDisplay::upperColumns() const {
  display::PeakSnapshot peaks = m_worker->snapshot();
  return {peaks.upper.begin(), peaks.upper.begin() + peaks.mapping.columns};
}

std::vector<uint8_t> WaveDisplay::lowerColumns() const {
  display::PeakSnapshot peaks = m_worker->snapshot();
  return {peaks.lower.begin(), peaks.lower.begin() + peaks.mapping.columns};
}

display::PeakWork WaveDisplay::peakWork() const { return m_worker->work(); }

void WaveDisplay::resetPeakWork() { m_worker->resetWork(); }

LRESULT CALLBACK WaveDisplay::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* display = static_cast<WaveDisplay*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    display->m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(display));
  }
  auto* display = reinterpret_cast<WaveDisplay*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!display) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    display->m_window = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return display->handleMessage(message, wParam, lParam);
}

LRESULT WaveDisplay::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      onPaint();
      return 0;
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(m_window, &client);
      m_painter.paint(reinterpret_cast<HDC>(wParam), client, client.left, client.right, IsWindowEnabled(m_window),
                      m_worker->snapshot(), m_marks);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // painting covers every pixel
    case WM_SIZE:
      onSize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ENABLE:
      repaint();
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(m_window);
      onButtonDown(GET_X_LPARAM(lParam), (wParam & MK_SHIFT) != 0);
      return 0;
    case WM_MOUSEMOVE:
      if (m_dragging && (wParam & MK_LBUTTON)) onDrag(GET_X_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (m_dragging) {
        onDrag(GET_X_LPARAM(lParam));
        m_dragging = false;
      }
      if (GetCapture() == m_window) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      m_dragging = false;
      return 0;
    case WM_DESTROY:
      onDestroy();
      return 0;
  }
  return DefWindowProcW(m_window, message, wParam, lParam);
}

void WaveDisplay::onDestroy() {
  // The thread must be gone before the display is: it reads the display's
  // cache and invalidates its window.
  stopThread();
}

void WaveDisplay::onSize(int width, int height) {
  const int columns = std::max(0, width - 2 * WavePainter::kBorder);
  updateView([&](display::PeakView& view) { view.columns = columns; });
}

void WaveDisplay::onPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_window, &paint);
  RECT client;
  GetClientRect(m_window, &client);
  if (!m_memoryDc.get()) m_memoryDc.reset(CreateCompatibleDC(dc));
  if (m_memorySize.cx != client.right || m_memorySize.cy != client.bottom) {
    // A new picture of the new size: repaint it whole.
    if (m_memoryDefaultBitmap) SelectObject(m_memoryDc.get(), m_memoryDefaultBitmap);
    m_memoryBitmap.reset(CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)));
    m_memoryDefaultBitmap = SelectObject(m_memoryDc.get(), m_memoryBitmap.get());
    m_memorySize = {client.right, client.bottom};
    paint.rcPaint = client;
  }
  HDC target = m_memoryDc.get() && m_memoryBitmap ? m_memoryDc.get() : dc;
  m_painter.paint(target, client, paint.rcPaint.left, paint.rcPaint.right, IsWindowEnabled(m_window),
                  m_worker->snapshot(), m_marks);
  if (target != dc)
    BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
           paint.rcPaint.bottom - paint.rcPaint.top, target, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
  EndPaint(m_window, &paint);
}

int64_t WaveDisplay::frameAtClientX(int x) const {
  return std::clamp<int64_t>(frameAtPixel(x - WavePainter::kBorder), 0, m_totalFrames);
}

void WaveDisplay::onButtonDown(int x, bool shift) {
  const int64_t frame = frameAtClientX(x);
  m_dragging = true;
  if (m_clickMode == ClickMode::Navigate) {
    m_anchor = frame;
    if (onNavigate) onNavigate(frame);
    return;
  }
  if (shift) {
    // Extends from the selection's far end, or from the cursor when nothing
    // is selected.
    if (m_marks.selectionStart < m_marks.selectionEnd)
      m_anchor = frame - m_marks.selectionStart > m_marks.selectionEnd - frame ? m_marks.selectionStart
                                                                             : m_marks.selectionEnd;
    else
      m_anchor = std::max<int64_t>(0, m_marks.cursor);
    onDrag(x);
    return;
  }
  m_anchor = frame;
  m_marks.cursor = frame;
  m_marks.selectionStart = m_marks.selectionEnd = frame;
  repaint();
  if (onCursor) onCursor(frame);
  if (onSelect) onSelect(frame, frame);
}

void WaveDisplay::onDrag(int x) {
  const int64_t frame = frameAtClientX(x);
  if (m_clickMode == ClickMode::Navigate) {
    if (frame == m_anchor) return;
    m_anchor = frame;
    if (onNavigate) onNavigate(frame);
    return;
  }
  auto [start, end] = ordered(m_anchor, frame);
  if (start == m_marks.selectionStart && end == m_marks.selectionEnd) return;
  m_marks.selectionStart = start;
  m_marks.selectionEnd = end;
  repaint();
  if (onSelect) onSelect(start, end);
}
