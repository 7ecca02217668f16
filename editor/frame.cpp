// The frame window: creation, layout, the message loop and message routing.

#include "editor/frame.h"

#include "editor/dialogs/cd_load_dialog.h"

#include "net/install_on_demand.h"

#include <commctrl.h>
#include <shellapi.h>

#include "core/block_store.h"
#include "editor/batch/batch_converter_window.h"
#include "editor/command_bar.h"
#include "editor/command_help.h"
#include "editor/command_ids.h"
#include "editor/document_window.h"
#include "editor/frame_controls.h"
#include "editor/playback_control.h"
#include "editor/model/command_line.h"
#include "editor/windows_file_ui.h"
#include "effects/speed_pitch.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace {

constexpr wchar_t kFrameClass[] = L"LMMWC";
constexpr UINT_PTR kHelpTimer = 1;
// Looks for the end of a dialog or a long operation that held up a hand-over.
constexpr UINT_PTR kHandOverTimer = 2;
constexpr UINT kHelpClearMs = 12000;
constexpr int kWindowMenuIndex = 8;  // the "Window" popup gets the MDI window list

std::string editorDataFolder() {
  std::string appData = sys::userAppDataFolder();
  return sys::joinPath(sys::joinPath(appData, "Zedirad"), "Razavo");
}

}  // namespace

Frame::Frame(HINSTANCE instance)
    : m_instance(instance),
      m_store(sys::openProgramSettings(kSettingsRoot)),
      m_settings(*m_store),
      m_dataFolder(editorDataFolder()),
      m_fileUi(std::make_unique<WindowsFileUi>()),
      m_converter(std::make_unique<ResamplingConverter>()) {
  sys::createFolder(m_dataFolder);
  setWorkingFolder(chooseWorkingFolder(m_settings, m_dataFolder));
  m_formats.settings = m_store.get();
  m_formats.ui = m_fileUi.get();
  m_formats.dataFolder = m_dataFolder;
  m_formats.findComponent = net::componentPath;
  loadKeys();
}

Frame::~Frame() {
  m_commandBar.reset();
  m_playback.reset();
  purgeWorkingFolder();
}

bool Frame::createWindow(int showCommand) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = m_instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.lpszMenuName = MAKEINTRESOURCEW(1);
  windowClass.lpszClassName = kFrameClass;
  if (!RegisterClassExW(&windowClass)) return false;
  DocumentWindow::registerClass(m_instance);

  m_window = CreateWindowExW(WS_EX_ACCEPTFILES, kFrameClass, L"Razavo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             CW_USEDEFAULT, CW_USEDEFAULT, m_settings.mainWidth(), m_settings.mainHeight(), nullptr,
                             nullptr, m_instance, this);
  if (!m_window) return false;
  m_fileUi->setOwner(m_window);
  ShowWindow(m_window, m_settings.mainMaximized() ? SW_SHOWMAXIMIZED : (showCommand ? showCommand : SW_SHOWNORMAL));
  UpdateWindow(m_window);
  return true;
}

int Frame::runMessageLoop() {
  MSG message;
  while (true) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) {
      if (IsWindow(m_window)) DestroyWindow(m_window);
      break;
    }
    if (preTranslate(message)) continue;
    if (m_mdiClient && TranslateMDISysAccel(m_mdiClient, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

LRESULT CALLBACK Frame::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* frame = reinterpret_cast<Frame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    frame = static_cast<Frame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    frame->m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
  }
  if (!frame) return DefWindowProcW(window, message, wParam, lParam);
  return frame->handleMessage(message, wParam, lParam);
}

LRESULT Frame::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      CLIENTCREATESTRUCT client{};
      client.hWindowMenu = GetSubMenu(GetMenu(m_window), kWindowMenuIndex);
      client.idFirstChild = cmd::WindowFirst;
      m_mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                    WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, 0, 0,
                                    m_window, nullptr, m_instance, &client);
      m_controls = std::make_unique<FrameControls>(m_instance, m_window);
      m_playback = std::make_unique<PlaybackControl>(*this);
      m_commandBar = std::make_unique<CommandBar>(m_instance, m_window, *m_store);
      m_controls->setVolume(m_playback->volumeDb());
      rebuildRecentMenu();
      updateCommands();
      viewChanged(nullptr);
      return 0;
    }
    case WM_SIZE:
      layout();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kBatchFilesQueued:
      openBatchConverter(*this);
      return 0;
    case WM_HSCROLL:
      if (m_controls && m_playback && m_controls->isVolume(reinterpret_cast<HWND>(lParam)))
        m_playback->setVolumeDb(m_controls->volume());
      return 0;
    case WM_COPYDATA:
      handOverReceived(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return TRUE;
    case WM_DROPFILES: {
      auto drop = reinterpret_cast<HDROP>(wParam);
      UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      for (UINT i = 0; i < count; ++i) {
        wchar_t path[MAX_PATH];
        if (DragQueryFileW(drop, i, path, MAX_PATH)) openFile(ui::narrow(path));
      }
      SetCursor(old);
      DragFinish(drop);
      return 0;
    }
    case WM_INITMENUPOPUP:
      updateCommands();
      break;
    case WM_MENUSELECT:
      showMenuHelp(LOWORD(wParam));
      break;
    case WM_TIMER:
      if (wParam == kHandOverTimer) {
        runPendingHandOvers();
        return 0;
      }
      if (wParam == kHelpTimer) {
        KillTimer(m_window, kHelpTimer);
        if (m_controls) m_controls->setStatus(0, "");
      }
      return 0;
    case WM_RENDERFORMAT:
      if (wParam == CF_WAVE) renderWindowsClipboard();
      return 0;
    case WM_RENDERALLFORMATS:
      // Leaving: what we offered stays on the clipboard for other programs.
      if (OpenClipboard(m_window)) {
        if (GetClipboardOwner() == m_window) renderWindowsClipboard();
        CloseClipboard();
      }
      return 0;
    case kOpenCdTrackMessage:
      openCdTrack(*reinterpret_cast<SoundBuffer*>(lParam));
      return 0;
    case WM_CLOSE:
      exitProgram();
      return 0;
    case WM_DESTROY:
      storeWindowPlacement();
      PostQuitMessage(0);
      return 0;
  }
  return DefFrameProcW(m_window, m_mdiClient, message, wParam, lParam);
}

void Frame::layout() {
  if (!m_controls) return;
  RECT client{};
  GetClientRect(m_window, &client);
  RECT documents = m_controls->layout(client.right, client.bottom, m_settings.showMainToolbar(),
                                      m_settings.showEffectsToolbar(), m_settings.showCommandBar(),
                                      m_settings.showCommandBarLeft());
  RECT bar{documents.left, documents.top, documents.left, documents.bottom};
  if (m_settings.showCommandBar() && documents.right - documents.left > 2 * CommandBar::kWidth) {
    if (m_settings.showCommandBarLeft()) {
      bar.right = documents.left + CommandBar::kWidth;
      documents.left = bar.right;
    } else {
      bar.left = documents.right - CommandBar::kWidth;
      bar.right = documents.right;
      documents.right = bar.left;
    }
  }
  if (m_commandBar) m_commandBar->place(bar);
  MoveWindow(m_mdiClient, documents.left, documents.top, documents.right - documents.left,
             documents.bottom - documents.top, TRUE);
}

void Frame::showMenuHelp(int id) {
  const char* help = commandHelp(id);
  if (!m_controls) return;
  m_controls->setStatus(0, help ? help : "");
  if (help) SetTimer(m_window, kHelpTimer, kHelpClearMs, nullptr);
}

void Frame::handOverReceived(const COPYDATASTRUCT& data) {
  std::vector<std::string> arguments;
  if (data.dwData != 0 || !parseHandOverRecord(static_cast<const uint8_t*>(data.lpData), data.cbData, arguments))
    return;
  // Files for the batch converter go straight to its window, which keeps the
  // frame disabled while it is open.
  if (m_pendingHandOvers.empty() && handFilesToBatchConverter(arguments)) return;
  // While a dialog or a long operation has the frame disabled, a document
  // may not close or change under it: the record waits until they are over.
  if (!IsWindowEnabled(m_window) || !m_pendingHandOvers.empty()) {
    m_pendingHandOvers.push_back(std::move(arguments));
    SetTimer(m_window, kHandOverTimer, 200, nullptr);
    return;
  }
  runCommandLine(arguments);
}

void Frame::runPendingHandOvers() {
  while (!m_pendingHandOvers.empty()) {
    if (!IsWindowEnabled(m_window)) return;  // the timer looks again
    std::vector<std::string> arguments = std::move(m_pendingHandOvers.front());
    m_pendingHandOvers.erase(m_pendingHandOvers.begin());
    runCommandLine(arguments);
  }
  KillTimer(m_window, kHandOverTimer);
}

void Frame::storeWindowPlacement() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(m_window, &placement)) return;
  m_settings.setMainMaximized(placement.showCmd == SW_SHOWMAXIMIZED);
  const RECT& normal = placement.rcNormalPosition;
  m_settings.setMainWidth(normal.right - normal.left);
  m_settings.setMainHeight(normal.bottom - normal.top);
}

void Frame::restoreFrame() {
  if (IsIconic(m_window)) ShowWindow(m_window, SW_RESTORE);
  SetForegroundWindow(m_window);
}

DocumentWindow* Frame::activeDocument() const {
  if (!m_mdiClient) return nullptr;
  auto active = reinterpret_cast<HWND>(SendMessageW(m_mdiClient, WM_MDIGETACTIVE, 0, 0));
  return DocumentWindow::fromHandle(active);
}

void Frame::documentCreated(DocumentWindow* document) {
  m_documents.push_back(document);
  if (projectOpen()) m_projectChanged = true;
  arrangeDocuments();
  updateCommands();
}

void Frame::cursorPlaced(DocumentWindow* document) {
  if (m_playback) m_playback->cursorPlaced(document);
}

void Frame::documentDestroyed(DocumentWindow* document) {
  if (m_playback) m_playback->documentGone(document);
  std::erase(m_documents, document);
  if (projectOpen()) m_projectChanged = true;
  if (!m_exiting) arrangeDocuments();
  updateCommands();
  viewChanged(activeDocument());
}

void Frame::showLevels(int left, int right) {
  if (m_controls) m_controls->setLevels(left, right);
}

void Frame::showPlaying(bool playing) {
  if (m_controls) m_controls->showPlaying(playing);
}

void Frame::arrangeDocuments() {
  // Every file window stays in sight, one above the other.
  if (m_settings.autoArrangeWindows() && m_mdiClient) SendMessageW(m_mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}
