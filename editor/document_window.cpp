#include "editor/document_window.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "editor/command_ids.h"
#include "editor/display/wave_display.h"
#include "editor/frame.h"
#include "editor/model/time_text.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace {

constexpr wchar_t kClassName[] = L"LWaveDocument";
constexpr int kOverviewHeight = 56;
constexpr int kButtonRowHeight = 24;
constexpr int kScrollUnits = 10000;  // the scroll bar works in fractions of the sound
constexpr int kOverviewId = 10, kMainId = 11, kScrollId = 12;
const int kButtonCommands[4] = {cmd::VerticalZoom, cmd::DisplayPlusMinus, cmd::DisplayLeftRight, cmd::DisplayDual};
const wchar_t* kButtonTexts[4] = {L"Vertical Zoom", L"+ / -", L"L / R", L"Dual L and R"};

DocumentWindow* creating = nullptr;

}  // namespace

void DocumentWindow::registerClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
}

DocumentWindow::DocumentWindow(Frame& frame, SoundBuffer buffer) : m_frame(frame), m_buffer(std::move(buffer)) {
  m_view.sampleRate = m_buffer.sampleRate();
  m_view.channels = m_buffer.channels();
  setVisibleRange(m_view, 0, std::max(length(), 1), length());
}

DocumentWindow::~DocumentWindow() = default;

DocumentWindow* DocumentWindow::create(Frame& frame, SoundBuffer buffer, const std::string& name,
                                       const std::string& path) {
  auto* document = new DocumentWindow(frame, std::move(buffer));
  document->m_view.fileName = name;
  document->m_path = path;
  document->m_view.hasName = !path.empty();
  creating = document;
  MDICREATESTRUCTW create{};
  std::wstring title = ui::widen(name);
  create.szClass = kClassName;
  create.szTitle = title.c_str();
  create.hOwner = frame.instance();
  create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
  create.style = WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME | WS_SYSMENU | WS_CAPTION;
  HWND window = reinterpret_cast<HWND>(
      SendMessageW(frame.mdiClient(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  creating = nullptr;
  if (!window) {
    delete document;
    return nullptr;
  }
  return document;
}

DocumentWindow* DocumentWindow::fromHandle(HWND window) {
  if (!window) return nullptr;
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (wcscmp(className, kClassName) != 0) return nullptr;
  return reinterpret_cast<DocumentWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK DocumentWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* document = reinterpret_cast<DocumentWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!document && creating && message == WM_NCCREATE) {
    document = creating;
    document->m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(document));
  }
  if (!document) return DefMDIChildProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = DefMDIChildProcW(window, message, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    document->m_frame.documentDestroyed(document);
    delete document;
    return result;
  }
  return document->handleMessage(message, wParam, lParam);
}

void DocumentWindow::onCreate() {
  RECT none{0, 0, 10, 10};
  m_overview = WaveDisplay::create(m_window, kOverviewId, none);
  m_main = WaveDisplay::create(m_window, kMainId, none);
  m_scroll = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0, 10, 10, m_window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScrollId)), m_frame.instance(), nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (int i = 0; i < 4; ++i) {
    DWORD style = WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | (i == 0 ? BS_AUTOCHECKBOX : BS_AUTORADIOBUTTON);
    m_buttons[i] = CreateWindowExW(0, L"BUTTON", kButtonTexts[i], style, 0, 0, 10, 10, m_window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonCommands[i])),
                                   m_frame.instance(), nullptr);
    SendMessageW(m_buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (m_overview) {
    m_overview->setClickMode(WaveDisplay::ClickMode::Navigate);
    m_overview->onNavigate = [this](int64_t frame) {
      // A click on the strip brings that part of the sound into view.
      int64_t span = static_cast<int64_t>(m_view.visibleEnd) - m_view.visibleStart;
      setVisibleRange(m_view, frame - span / 2, frame - span / 2 + span, length());
      viewChanged();
    };
  }
  if (m_main) {
    m_main->onCursor = [this](int64_t frame) {
      m_view.selectionStart = m_view.selectionEnd = 0;
      setCursor(frame);
      m_frame.cursorPlaced(this);
    };
    m_main->onSelect = [this](int64_t start, int64_t end) {
      ::setSelection(m_view, start, end, length());
      m_view.cursor = static_cast<int32_t>(std::clamp<int64_t>(end, 0, length()));
      viewChanged();
      m_frame.cursorPlaced(this);
    };
  }
  soundChanged();
}

void DocumentWindow::layout() {
  RECT client{};
  GetClientRect(m_window, &client);
  int width = client.right, height = client.bottom;
  int scrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  int x = 2;
  for (int i = 0; i < 4; ++i) {
    int w = i == 3 ? 90 : i == 0 ? 84 : 60;
    MoveWindow(m_buttons[i], x, 2, w, kButtonRowHeight - 4, TRUE);
    x += w + 4;
  }
  int top = kButtonRowHeight;
  if (m_overview) MoveWindow(m_overview->window(), 0, top, width, kOverviewHeight, TRUE);
  top += kOverviewHeight + 2;
  if (m_main) MoveWindow(m_main->window(), 0, top, width, std::max(0, height - top - scrollHeight), TRUE);
  MoveWindow(m_scroll, 0, height - scrollHeight, width, scrollHeight, TRUE);
  viewChanged();
}

Selection DocumentWindow::selection() const {
  return Selection{m_view.selectionStart, m_view.selectionEnd, m_view.cursor};
}

void DocumentWindow::setSelectionState(const Selection& selection) {
  ::setSelection(m_view, selection.start, selection.end, length());
  m_view.cursor = std::clamp(selection.cursor, 0, length());
}

UndoState DocumentWindow::captureState() const {
  UndoState state;
  state.sound = m_buffer;
  state.modified = m_view.modified;
  state.selection = selection();
  state.visibleStart = m_view.visibleStart;
  state.visibleEnd = m_view.visibleEnd;
  return state;
}

void DocumentWindow::restoreState(const UndoState& state) {
  m_buffer = state.sound;
  m_view.modified = state.modified;
  m_view.visibleStart = state.visibleStart;
  m_view.visibleEnd = state.visibleEnd;
  setSelectionState(state.selection);
  soundChanged();
}

void DocumentWindow::setPath(const std::string& path) {
  m_path = path;
  m_view.hasName = !path.empty();
  m_view.fileName = sys::fileNameOf(path);
  SetWindowTextW(m_window, ui::widen(m_view.fileName).c_str());
}

void DocumentWindow::soundChanged() {
  if (m_frame.projectOpen()) m_frame.noteProjectChanged();
  m_view.sampleRate = m_buffer.sampleRate();
  m_view.channels = m_buffer.channels();
  int32_t total = length();
  setVisibleRange(m_view, m_view.visibleStart, m_view.visibleEnd, total);
  ::setSelection(m_view, m_view.selectionStart, m_view.selectionEnd, total);
  m_view.cursor = std::clamp(m_view.cursor, 0, total);
  if (m_overview) m_overview->setSound(m_buffer);
  if (m_main) m_main->setSound(m_buffer);
  viewChanged();
}

void DocumentWindow::viewChanged() {
  int32_t total = length();
  if (m_overview) {
    m_overview->setMode(m_view.displayMode, m_view.verticalZoom);
    m_overview->setRange(0, std::max(total, m_view.sampleRate));
    m_overview->setCursor(m_view.cursor);
    m_overview->setSelection(m_view.selectionStart, m_view.selectionEnd);
    m_overview->setHighlight(m_view.visibleStart, m_view.visibleEnd);
  }
  if (m_main) {
    m_main->setMode(m_view.displayMode, m_view.verticalZoom);
    m_main->setRange(m_view.visibleStart, static_cast<int64_t>(m_view.visibleEnd) - m_view.visibleStart);
    m_main->setCursor(m_view.cursor);
    m_main->setSelection(m_view.selectionStart, m_view.selectionEnd);
  }
  updateScrollBar();
  updateButtons();
  m_frame.viewChanged(this);
}

void DocumentWindow::bookmarksChanged() {
  std::vector<int64_t> times;
  for (const Bookmark& bookmark : m_bookmarks)
    times.push_back(framesToMs(bookmark.position, std::max(m_view.sampleRate, 1)));
  if (m_overview) m_overview->setBookmarks(times);
  if (m_main) m_main->setBookmarks(times);
}

void DocumentWindow::setCursor(int64_t frame) {
  m_view.cursor = static_cast<int32_t>(std::clamp<int64_t>(frame, 0, length()));
  scrollToShowCursor(m_view, length());
  viewChanged();
}

void DocumentWindow::updateScrollBar() {
  int64_t total = std::max(length(), 1);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = kScrollUnits;
  info.nPage = static_cast<UINT>(std::max<int64_t>(1, (static_cast<int64_t>(m_view.visibleEnd) - m_view.visibleStart) *
                                                          kScrollUnits / total));
  info.nPos = static_cast<int>(static_cast<int64_t>(m_view.visibleStart) * kScrollUnits / total);
  SetScrollInfo(m_scroll, SB_CTL, &info, TRUE);
}

void DocumentWindow::updateButtons() {
  SendMessageW(m_buttons[0], BM_SETCHECK, m_view.verticalZoom ? BST_CHECKED : BST_UNCHECKED, 0);
  for (int i = 0; i < 3; ++i)
    SendMessageW(m_buttons[i + 1], BM_SETCHECK, m_view.displayMode == i ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DocumentWindow::onScroll(int request) {
  int64_t total = length();
  int64_t span = static_cast<int64_t>(m_view.visibleEnd) - m_view.visibleStart;
  int64_t start = m_view.visibleStart;
  switch (request) {
    case SB_LINELEFT: start -= span / 10; break;
    case SB_LINERIGHT: start += span / 10; break;
    case SB_PAGELEFT: start -= span; break;
    case SB_PAGERIGHT: start += span; break;
    case SB_LEFT: start = 0; break;
    case SB_RIGHT: start = total - span; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(m_scroll, SB_CTL, &info);
      start = static_cast<int64_t>(info.nTrackPos) * total / kScrollUnits;
      break;
    }
    default: return;
  }
  start = std::clamp<int64_t>(start, 0, std::max<int64_t>(0, total - span));
  setVisibleRange(m_view, start, start + span, length());
  viewChanged();
}

LRESULT DocumentWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: onCreate(); break;
    case WM_SIZE: layout(); break;
    case WM_HSCROLL: onScroll(LOWORD(wParam)); return 0;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (id == cmd::VerticalZoom || id == cmd::DisplayPlusMinus || id == cmd::DisplayLeftRight ||
          id == cmd::DisplayDual) {
        SendMessageW(m_frame.handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        SetFocus(m_frame.handle());
        return 0;
      }
      break;
    }
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lParam) == m_window) m_frame.viewChanged(this);
      break;
    case WM_CLOSE:
      // Closing asks about unsaved changes through the frame.
      m_frame.closeDocument(this);
      return 0;
    case WM_DESTROY:
      // The displays' threads stop before their windows go.
      if (m_overview) m_overview->close();
      if (m_main) m_main->close();
      break;
  }
  return DefMDIChildProcW(m_window, message, wParam, lParam);
}
