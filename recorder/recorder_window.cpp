#include "recorder/recorder_window.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>

#include "devices/record_mixer.h"
#include "devices/wave_in_device.h"
#include "editor/pictures/pictures.h"
#include "formats/wav_codec_file.h"
#include "net/net.h"
#include "recorder/companions.h"
#include "recorder/model/recorder_format.h"
#include "recorder/model/recording_time.h"
#include "recorder/options/shell_folders.h"
#include "recorder/recorder_ids.h"
#include "recorder/recording_transmission.h"
#include "recorder/recordings_list_window.h"
#include "recorder/session/free_space.h"
#include "sys/command_line_args.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace recorder {
namespace {

constexpr UINT_PTR kHideTimer = 3;
constexpr UINT_PTR kStopAfterTimer = 4;
constexpr UINT_PTR kIntervalToneTimer = 5;
constexpr UINT_PTR kFreeSpaceTimer = 6;
constexpr UINT_PTR kSetupTimer = 7;
constexpr UINT_PTR kHandOverTimer = 8;
constexpr UINT kFirstFreeSpaceMs = 800;
constexpr UINT kFreeSpaceMs = 25000;
constexpr UINT kFreeSpaceAfterOptionsMs = 1000;
constexpr UINT kHandOverMessage = WM_APP + 2;
constexpr int kPanelHeight = 104;
constexpr int kFormatRowHeight = 26;

struct ButtonInfo {
  int command;
  int bit;
  pictures::TransportPicture picture;
  const wchar_t* text;
  const char* tip;
};
constexpr ButtonInfo kButtons[] = {
    {ID_RECORD, kRecordButton, pictures::TransportPicture::Record, L"Record", "Start Recording (F5)"},
    {ID_RESTART, kRestartButton, pictures::TransportPicture::Start, L"Restart", "Restart Recording (Home)"},
    {ID_PAUSE, kPauseButton, pictures::TransportPicture::Pause, L"Pause", "Pause Recording (F6)"},
    {ID_STOP_DONE, kStopButton, pictures::TransportPicture::Stop, L"Stop", "Stop and Mark Done (F7)"},
};

std::string recorderDataFolder() {
  return sys::joinPath(sys::joinPath(sys::userAppDataFolder(), "Zedirad"), "Rezara");
}

// Shown by its own style, whether or not the window itself is visible yet.
bool shownStyle(HWND window) { return window && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

bool isLogonSwitch(const std::string& argument) {
  std::string lower = argument;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower == "-logon";
}

}  // namespace

RecorderWindow::RecorderWindow(HINSTANCE instance, std::vector<std::string> arguments)
    : ui::Dialog(IDD_RECORDER, instance),
      m_instance(instance),
      m_arguments(std::move(arguments)),
      m_store(sys::openProgramSettings(kSettingsRoot)),
      m_dataFolder(recorderDataFolder()) {
  sys::createFolder(sys::folderOf(m_dataFolder));
  sys::createFolder(m_dataFolder);
  std::string defaultFolder = defaultOutputFolder(m_dataFolder);
  m_settings = std::make_unique<RecorderSettings>(*m_store, defaultFolder);
  m_formats.settings = m_store.get();
  m_formats.dataFolder = m_dataFolder;
  m_formats.findComponent = net::componentPath;

  m_notifier = std::make_unique<ui::NotifierWindow>([this] {
    if (m_capture) m_capture->onNotify();
  });
  m_capture = std::make_unique<VoiceActivatedCapture>(makeSystemWaveInDevice,
                                                      [notifier = m_notifier.get()] { notifier->post(); });
  m_capturePort = std::make_unique<VoiceCapturePort>(*m_capture,
                                                     [this](const CaptureRequest& request) { prepareInput(request); });
  m_files = std::make_unique<RecordingFileMaker>(*m_settings, m_formats);
  m_session = std::make_unique<RecordingSession>(*m_capturePort, *m_files, static_cast<SessionUi&>(*this),
                                                 static_cast<RecordingDoneSink&>(*this),
                                                 [this] { return sessionOptions(); });
}

RecorderWindow::~RecorderWindow() {
  // The session ends the capture (keeping what it wrote) before the notifier goes.
  m_session.reset();
  // A recording the session finished just now is listed for the next start.
  m_transmission.reset();
  m_capturePort.reset();
  m_capture.reset();
  m_notifier.reset();
  if (m_buttonImages) ImageList_Destroy(m_buttonImages);
}

SessionOptions RecorderWindow::sessionOptions() const {
  SessionOptions options;
  options.format = m_settings->format();
  const RecorderFormatInfo* format = recorderFormat(options.format);
  options.extension = format ? format->extension : "";
  options.outputFolder = m_settings->outputFolder();
  options.promptForName = m_settings->promptForName();
  options.device = static_cast<uint8_t>(std::clamp(m_settings->recordDevice(), 0, 255));
  options.recordVolume = m_settings->recordVolume();
  options.recordTone = m_settings->recordTone();
  options.stoppedTone = m_settings->stoppedTone();
  options.intervalTone = m_settings->intervalTone();
  options.intervalSecs = m_settings->intervalSecs();
  options.voiceActivate = m_settings->voiceActivate();
  options.voiceActivateLevel = m_settings->voiceActivateLevel();
  if (m_settings->checkMaxTime()) options.maxTimeMs = parseRecordingTime(m_settings->maxTime());
  options.stopAtMaxTime = m_settings->stopReachMaxTime();
  return options;
}

void RecorderWindow::prepareInput(const CaptureRequest& request) {
  // The volume goes to the line that records. 0, the default, leaves the
  // system's own setting alone rather than forcing every input to 0 dB.
  if (request.recordVolume == 0) return;
  std::unique_ptr<RecordMixer> mixer = makeSystemRecordMixer();
  if (!mixer || !mixer->open(request.device)) return;
  int line = mixer->selectedLine().value_or(request.line);
  mixer->setLineVolumeDb(line, request.recordVolume);
}

bool RecorderWindow::create(int showCommand) {
  m_showCommand = showCommand;
  m_accelerators = LoadAcceleratorsW(m_instance, MAKEINTRESOURCEW(IDA_RECORDER));
  HWND window = createModeless(nullptr);
  return window != nullptr;
}

int RecorderWindow::runMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND window = handle();
    if (m_recordingsList && m_recordingsList->preTranslate(message)) continue;
    if (window && m_accelerators && TranslateAcceleratorW(window, m_accelerators, &message)) continue;
    if (window && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

bool RecorderWindow::onInit() {
  HWND window = handle();
  m_tray.attach(window);
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_tray.bigIcon(false)));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_tray.smallIcon(false)));
  m_panel.attach(item(IDC_STATUS_PANEL));
  SetWindowSubclass(item(IDC_STATUS_PANEL), panelProc, 1, reinterpret_cast<DWORD_PTR>(this));

  // Start-up, in order: the bars, the format drop-down and the buttons; the
  // display; the hot keys; the free-space timer.
  createBars();
  fillLaunchMenu();
  applyViewSettings();
  refreshFormat();
  m_panel.setFileName("");
  showState("Ready", false);
  showElapsed(elapsedTimeText(0));
  registerHotKeys();
  SetTimer(window, kFreeSpaceTimer, kFirstFreeSpaceMs, nullptr);
  m_tray.show();
  // Recordings still waiting from an earlier run go out now.
  m_transmission = std::make_unique<RecordingTransmission>(window, m_dataFolder);
  m_transmission->start();
  m_recordingsList = std::make_unique<RecordingsListWindow>(m_instance, *m_settings, m_formats);
  if (m_settings->showRecordingsList()) m_recordingsList->show(window);

  const bool logon = m_arguments.size() > 1 && isLogonSwitch(m_arguments[1]);
  if (m_arguments.size() <= 1 && m_settings->recordWhenRun()) PostMessageW(window, WM_COMMAND, ID_RECORD, 0);
  if (!m_settings->installWizRun()) SetTimer(window, kSetupTimer, 500, nullptr);
  // The command line runs once the window is up (a "-logon" start records first).
  std::vector<std::string> arguments = m_arguments;
  if (logon) arguments.erase(arguments.begin() + 1);
  m_handOvers.push_back(arguments);
  if (logon) PostMessageW(window, WM_COMMAND, ID_RECORD, 0);
  PostMessageW(window, kHandOverMessage, 0, 0);

  ShowWindow(window, m_showCommand == SW_HIDE ? SW_HIDE : SW_SHOWNORMAL);
  return true;
}

LRESULT CALLBACK RecorderWindow::panelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  // A click on the format description opens the format's settings.
  if (message == WM_LBUTTONUP) {
    auto* self = reinterpret_cast<RecorderWindow*>(data);
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (StatusPanel::onFileInfoLine(point) && !self->m_session->busy())
      PostMessageW(self->handle(), WM_COMMAND, ID_FORMAT_SETTINGS, 0);
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(panel, panelProc, 1);
  return DefSubclassProc(panel, message, wParam, lParam);
}

void RecorderWindow::createBars() {
  HWND window = handle();
  m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(IDC_STATUS_BAR), m_instance, nullptr);

  m_formatList = CreateWindowExW(0, WC_COMBOBOXW, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST,
                                 4, 0, 120, 200, window, reinterpret_cast<HMENU>(IDC_FORMAT_LIST), m_instance,
                                 nullptr);
  SendMessageW(m_formatList, WM_SETFONT, SendMessageW(window, WM_GETFONT, 0, 0), TRUE);
  for (int i = 0; i < kRecorderFormatCount; ++i) addComboItem(IDC_FORMAT_LIST, recorderFormat(i)->label);
  m_formatTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                window, nullptr, m_instance, nullptr);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(m_formatList);
  static wchar_t formatTip[] = L"Click to change the format settings";
  tool.lpszText = formatTip;
  SendMessageW(m_formatTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

  m_mainToolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                  WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS |
                                      CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                  0, 0, 0, 0, window, reinterpret_cast<HMENU>(IDC_MAIN_TOOLBAR), m_instance, nullptr);
  SendMessageW(m_mainToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  m_buttonImages = ImageList_Create(pictures::kTransportWidth, pictures::kTransportHeight, ILC_COLOR24 | ILC_MASK,
                                    4, 0);
  for (const ButtonInfo& button : kButtons) {
    ui::Bitmap picture = pictures::drawTransportPicture(button.picture);
    ImageList_AddMasked(m_buttonImages, picture.get(), GetSysColor(COLOR_BTNFACE));
  }
  SendMessageW(m_mainToolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_buttonImages));
  SendMessageW(m_mainToolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
  TBBUTTON buttons[4]{};
  for (int i = 0; i < 4; ++i) {
    buttons[i].iBitmap = i;
    buttons[i].idCommand = kButtons[i].command;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    buttons[i].iString = reinterpret_cast<INT_PTR>(kButtons[i].text);
  }
  SendMessageW(m_mainToolbar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(buttons));
  SendMessageW(m_mainToolbar, TB_AUTOSIZE, 0, 0);
}

void RecorderWindow::layout() {
  HWND window = handle();
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right;
  int y = 0;
  if (shownStyle(m_mainToolbar)) {
    SIZE size{};
    SendMessageW(m_mainToolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    const int height = std::max<int>(size.cy, 26) + 4;
    MoveWindow(m_mainToolbar, 0, y, width, height, TRUE);
    y += height;
  }
  if (shownStyle(m_formatList)) {
    MoveWindow(m_formatList, 6, y + 2, 140, 200, TRUE);
    y += kFormatRowHeight;
  }
  MoveWindow(item(IDC_STATUS_PANEL), 0, y, width, kPanelHeight, TRUE);
  y += kPanelHeight;
  int statusHeight = 0;
  if (shownStyle(m_statusBar)) {
    RECT bar;
    GetWindowRect(m_statusBar, &bar);
    statusHeight = bar.bottom - bar.top;
    MoveWindow(m_statusBar, 0, y, width, statusHeight, TRUE);
    int parts[2] = {width * 3 / 5, -1};
    SendMessageW(m_statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  }
  // The window's height follows what it shows.
  RECT wanted{0, 0, width, y + statusHeight};
  AdjustWindowRectEx(&wanted, GetWindowLongW(window, GWL_STYLE), GetMenu(window) != nullptr,
                     GetWindowLongW(window, GWL_EXSTYLE));
  RECT now;
  GetWindowRect(window, &now);
  if (now.bottom - now.top != wanted.bottom - wanted.top)
    SetWindowPos(window, nullptr, 0, 0, now.right - now.left, wanted.bottom - wanted.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RecorderWindow::applyViewSettings() {
  ShowWindow(m_mainToolbar, m_settings->showMainToolbar() ? SW_SHOW : SW_HIDE);
  ShowWindow(m_formatList, m_settings->showFormatToolbar() ? SW_SHOW : SW_HIDE);
  ShowWindow(m_statusBar, m_settings->showStatusBar() ? SW_SHOW : SW_HIDE);
  const int shown = m_settings->showButtons();
  for (const ButtonInfo& button : kButtons)
    SendMessageW(m_mainToolbar, TB_HIDEBUTTON, button.command, MAKELPARAM((shown & button.bit) == 0, 0));
  SetWindowPos(handle(), m_settings->floatAbove() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  updateMenuChecks();
  layout();
}

void RecorderWindow::updateMenuChecks() {
  HMENU menu = GetMenu(handle());
  auto check = [menu](int id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
  check(ID_VIEW_MAIN_TOOLBAR, m_settings->showMainToolbar());
  check(ID_VIEW_FORMAT_TOOLBAR, m_settings->showFormatToolbar());
  check(ID_VIEW_STATUS_BAR, m_settings->showStatusBar());
  check(ID_VIEW_FLOAT, m_settings->floatAbove());
  const int shown = m_settings->showButtons();
  check(ID_VIEW_RECORD_BUTTON, shown & kRecordButton);
  check(ID_VIEW_RESTART_BUTTON, shown & kRestartButton);
  check(ID_VIEW_PAUSE_BUTTON, shown & kPauseButton);
  check(ID_VIEW_STOP_BUTTON, shown & kStopButton);
  check(ID_VIEW_PLAY_LIST, m_recordingsList && m_recordingsList->visible());
}

void RecorderWindow::fillLaunchMenu() {
  HMENU bar = GetMenu(handle());
  HMENU launch = nullptr;
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    wchar_t text[32] = {};
    GetMenuStringW(bar, i, text, 32, MF_BYPOSITION);
    if (wcscmp(text, L"&Launch") == 0) launch = GetSubMenu(bar, i);
  }
  if (!launch) return;
  m_launchPrograms.clear();
  std::vector<Companion> installed = installedCompanions();
  if (installed.empty()) return;
  while (GetMenuItemCount(launch) > 0) DeleteMenu(launch, 0, MF_BYPOSITION);
  for (size_t i = 0; i < installed.size(); ++i) {
    AppendMenuW(launch, MF_STRING, ID_LAUNCH_FIRST + static_cast<UINT>(i), ui::widen(installed[i].name).c_str());
    m_launchPrograms.push_back(installed[i].program);
  }
}

INT_PTR RecorderWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlID != IDC_STATUS_PANEL) break;
      m_panel.draw(draw->hDC, draw->rcItem);
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        for (const ButtonInfo& button : kButtons) {
          if (info->hdr.idFrom != static_cast<UINT_PTR>(button.command)) continue;
          static wchar_t tip[80];
          wcsncpy(tip, ui::widen(button.tip).c_str(), 79);
          info->lpszText = tip;
          return TRUE;
        }
      }
      break;
    }
    case WM_TIMER:
      onTimer(wParam);
      return TRUE;
    case WM_HOTKEY:
      // Not in the middle of a question the session is asking.
      if (IsWindowEnabled(handle())) runHotKey(static_cast<int>(wParam));
      return TRUE;
    case WM_COPYDATA: {
      auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data) onHandOver(*data);
      SetWindowLongPtrW(handle(), DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case kHandOverMessage:
      // While a question or dialog is open the hand-overs wait for it.
      if (!IsWindowEnabled(handle())) {
        SetTimer(handle(), kHandOverTimer, 200, nullptr);
        return TRUE;
      }
      while (!m_handOvers.empty() && !m_exiting) {
        std::vector<std::string> arguments = std::move(m_handOvers.front());
        m_handOvers.pop_front();
        runCommandLine(arguments);
      }
      return TRUE;
    case TrayIcon::kTrayMessage:
      if (lParam == WM_LBUTTONDBLCLK) showFromTray();
      if (lParam == WM_RBUTTONUP) m_tray.showMenu(m_instance, IDM_TRAY);
      return TRUE;
    case WM_CLOSE:
      exitProgram();
      return TRUE;
    case WM_ENDSESSION:
      // The system ends the session: the recording is finished while there is time.
      if (wParam) m_session->finish();
      return TRUE;
    case WM_DESTROY:
      // What is being sent stays listed for the next start.
      if (m_transmission) m_transmission->cancel();
      m_recordingsList.reset();
      unregisterHotKeys();
      m_tray.hide();
      PostQuitMessage(0);
      return FALSE;
    default:
      break;
  }
  return ui::Dialog::handleMessage(message, wParam, lParam);
}

void RecorderWindow::onCommand(int id, int code) {
  if (id == IDC_FORMAT_LIST) {
    if (code == CBN_SELCHANGE) formatChosen();
    return;
  }
  if (id >= ID_LAUNCH_FIRST && id < ID_LAUNCH_FIRST + static_cast<int>(m_launchPrograms.size())) {
    launchCompanion(m_launchPrograms[id - ID_LAUNCH_FIRST]);
    return;
  }
  switch (id) {
    case ID_RECORD: m_session->record(); break;
    case ID_PAUSE: m_session->pause(); break;
    case ID_RESTART: m_session->restart(); break;
    case ID_STOP_DONE: m_session->stopAndMarkDone(); break;
    case ID_CLOSE_TO_TRAY: closeToTray(); break;
    case ID_OPEN_FROM_TRAY: showFromTray(); break;
    case ID_EXIT: exitProgram(); break;
    case IDCANCEL: closeToTray(); break;  // Escape
    case ID_VIEW_MAIN_TOOLBAR:
      m_settings->setShowMainToolbar(!m_settings->showMainToolbar());
      applyViewSettings();
      break;
    case ID_VIEW_FORMAT_TOOLBAR:
      m_settings->setShowFormatToolbar(!m_settings->showFormatToolbar());
      applyViewSettings();
      break;
    case ID_VIEW_STATUS_BAR:
      m_settings->setShowStatusBar(!m_settings->showStatusBar());
      applyViewSettings();
      break;
    case ID_VIEW_RECORD_BUTTON: toggleButton(kRecordButton); break;
    case ID_VIEW_RESTART_BUTTON: toggleButton(kRestartButton); break;
    case ID_VIEW_PAUSE_BUTTON: toggleButton(kPauseButton); break;
    case ID_VIEW_STOP_BUTTON: toggleButton(kStopButton); break;
    case ID_VIEW_SHOW_ALL:
      m_settings->setShowButtons(kAllButtons);
      applyViewSettings();
      break;
    case ID_VIEW_HIDE_ALL:
      m_settings->setShowButtons(0);
      applyViewSettings();
      break;
    case ID_VIEW_FLOAT:
      m_settings->setFloatAbove(!m_settings->floatAbove());
      applyViewSettings();
      break;
    case ID_VIEW_PLAY_LIST: toggleRecordingsList(); break;
    case ID_OPTIONS_RECORD:
    case ID_OPTIONS_OUTPUT:
    case ID_OPTIONS_TRANSMIT:
    case ID_OPTIONS_GENERAL:
    case ID_OPTIONS_HOT_KEYS:
    case ID_FORMAT_SETTINGS:
      showOptions(id);
      break;
    case ID_AUDIO_SETUP: showAudioSetup(); break;
    default: break;
  }
}

void RecorderWindow::toggleButton(int bit) {
  m_settings->setShowButtons(m_settings->showButtons() ^ bit);
  applyViewSettings();
}

void RecorderWindow::onTimer(UINT_PTR id) {
  HWND window = handle();
  switch (id) {
    case kHideTimer:
      KillTimer(window, kHideTimer);
      ShowWindow(window, SW_HIDE);
      break;
    case kStopAfterTimer:
      KillTimer(window, kStopAfterTimer);
      m_session->stopAndMarkDone();
      exitProgram();
      break;
    case kIntervalToneTimer:
      playTone(IDW_RECORD_TONE);
      break;
    case kFreeSpaceTimer:
      refreshFreeSpace();
      SetTimer(window, kFreeSpaceTimer, kFreeSpaceMs, nullptr);
      break;
    case kHandOverTimer:
      KillTimer(window, kHandOverTimer);
      PostMessageW(window, kHandOverMessage, 0, 0);
      break;
    case kSetupTimer:
      KillTimer(window, kSetupTimer);
      if (!m_settings->installWizRun()) {
        m_settings->setInstallWizRun(true);
        showAudioSetup();
      }
      break;
    default:
      break;
  }
}

void RecorderWindow::refreshFreeSpace() {
  // The folder itself: a share or a mounted folder has space of its own.
  FreeSpace space = describeFreeSpace(sys::freeDiskSpace(m_settings->outputFolder()), m_settings->warnSpaceBelow());
  m_panel.setSpace(space.text, space.low);
}

void RecorderWindow::refreshFormat() {
  const int format = m_settings->format();
  if (m_formatList) SendMessageW(m_formatList, CB_SETCURSEL, format >= 0 && format < 3 ? format : -1, 0);
  m_panel.setFileInfo(formatDescription(format, readWavCodecFile(m_dataFolder), m_settings->mp3Settings()));
  EnableWindow(m_formatList, !m_session->busy());
}

void RecorderWindow::formatChosen() {
  int chosen = static_cast<int>(SendMessageW(m_formatList, CB_GETCURSEL, 0, 0));
  if (chosen < 0 || chosen >= kRecorderFormatCount || m_session->busy()) {
    refreshFormat();
    return;
  }
  m_settings->setFormat(chosen);
  refreshFormat();
}

// Command line.

void RecorderWindow::onHandOver(const COPYDATASTRUCT& data) {
  std::vector<std::string> arguments;
  if (!data.lpData || !sys::parseHandOverRecord(static_cast<const uint8_t*>(data.lpData), data.cbData, arguments))
    return;
  // Run after the sender has been answered, so that a second start never
  // waits on a question this one asks.
  m_handOvers.push_back(std::move(arguments));
  PostMessageW(handle(), kHandOverMessage, 0, 0);
}

void RecorderWindow::runCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.size() <= 1) return;
  for (const RecorderAction& action : parseRecorderCommandLine(arguments, m_settings->mp3Settings())) {
    runAction(action);
    if (m_exiting) return;
  }
}

void RecorderWindow::runAction(const RecorderAction& action) {
  HWND window = handle();
  auto takeFormat = [&] {
    if (action.format >= 0) m_settings->setFormat(action.format);
    if (action.wave) {
      if (auto record = waveRecordFor(*action.wave, readWavCodecFile(m_dataFolder)))
        writeWavCodecFile(m_dataFolder, *record);
    }
    if (action.mp3) m_settings->setMp3Settings(*action.mp3);
    refreshFormat();
  };
  switch (action.kind) {
    case RecorderAction::Record:
      takeFormat();
      m_session->record();
      break;
    case RecorderAction::RecordFile:
      takeFormat();
      m_session->recordInto(action.path);
      break;
    case RecorderAction::Resume:
    case RecorderAction::Logon:
      m_session->record();
      break;
    case RecorderAction::Pause: m_session->pause(); break;
    case RecorderAction::Restart: m_session->restart(); break;
    case RecorderAction::Done: m_session->stopAndMarkDone(); break;
    case RecorderAction::Exit: exitProgram(); break;
    case RecorderAction::ExitIfStop: m_session->setExitWhenStopped(true); break;
    case RecorderAction::Hide:
      m_startHidden = true;
      SetTimer(window, kHideTimer, 100, nullptr);
      break;
    case RecorderAction::Show:
      m_startHidden = false;
      KillTimer(window, kHideTimer);
      showFromTray();
      break;
    case RecorderAction::ShowButtons:
      m_settings->setShowButtons(action.applyButtons(m_settings->showButtons()));
      applyViewSettings();
      break;
    case RecorderAction::Play:
      // The recordings list that plays files is not part of this program yet.
      break;
    case RecorderAction::OutDir:
      m_settings->setOutputFolder(action.path);
      refreshFreeSpace();
      break;
    case RecorderAction::StopAfter:
      SetTimer(window, kStopAfterTimer, static_cast<UINT>(std::clamp<long long>(action.milliseconds, 1, 0x7FFFFFFF)),
               nullptr);
      break;
  }
}

// Hot keys.

void RecorderWindow::registerHotKeys() {
  unregisterHotKeys();
  m_hotKeys = m_settings->hotKeys();
  for (size_t i = 0; i < m_hotKeys.size(); ++i)
    RegisterHotKey(handle(), static_cast<int>(i), m_hotKeys[i].key >> 16, m_hotKeys[i].key & 0xFFFF);
  m_hotKeyCount = static_cast<int>(m_hotKeys.size());
}

void RecorderWindow::unregisterHotKeys() {
  for (int i = 0; i < m_hotKeyCount; ++i) UnregisterHotKey(handle(), i);
  m_hotKeyCount = 0;
}

void RecorderWindow::runHotKey(int index) {
  if (index < 0 || index >= static_cast<int>(m_hotKeys.size())) return;
  switch (m_hotKeys[index].command) {
    case HotKeyCommand::Record: m_session->record(); break;
    case HotKeyCommand::Pause: m_session->pause(); break;
    case HotKeyCommand::Restart: m_session->restart(); break;
    case HotKeyCommand::StopAndMarkDone: m_session->stopAndMarkDone(); break;
    case HotKeyCommand::RecordingsList: toggleRecordingsList(); break;
  }
}

// Window states.

void RecorderWindow::closeToTray() {
  m_tray.show();
  ShowWindow(handle(), SW_HIDE);
}

void RecorderWindow::showFromTray() {
  HWND window = handle();
  ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(window);
}

void RecorderWindow::exitProgram() {
  if (m_exiting) return;
  m_exiting = true;
  // Whether the list shows is noted while it still does: it goes with the window.
  if (m_recordingsList) m_settings->setShowRecordingsList(m_recordingsList->visible());
  DestroyWindow(handle());
}

// SessionUi.

SessionUi::Answer RecorderWindow::ask(const std::string& text, const std::string& title, Buttons buttons) {
  int answer = ui::showMessage(handle(), text, title,
                               (buttons == Buttons::YesNo ? MB_YESNO : MB_YESNOCANCEL) | MB_ICONQUESTION);
  return answer == IDYES ? Answer::Yes : answer == IDNO ? Answer::No : Answer::Cancel;
}

void RecorderWindow::showError(const std::string& text, const std::string& title) {
  ui::showMessage(handle(), text, title, MB_OK | MB_ICONERROR);
}

void RecorderWindow::playTone(int tone) {
  PlaySoundW(MAKEINTRESOURCEW(tone), m_instance, SND_RESOURCE | SND_SYNC | SND_NODEFAULT);
}

void RecorderWindow::setIntervalTone(int64_t periodMs) {
  if (periodMs <= 0) {
    KillTimer(handle(), kIntervalToneTimer);
    return;
  }
  SetTimer(handle(), kIntervalToneTimer, static_cast<UINT>(std::min<int64_t>(periodMs, 0x7FFFFFFF)), nullptr);
}

void RecorderWindow::showState(const std::string& text, bool recording) {
  m_panel.setState(text, recording);
  if (m_statusBar) SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(ui::widen(text).c_str()));
  m_tray.setRecording(recording);
  SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_tray.smallIcon(recording)));
  SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_tray.bigIcon(recording)));
}

void RecorderWindow::showElapsed(const std::string& text) {
  m_panel.setElapsed(text);
  if (m_statusBar) SendMessageW(m_statusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(ui::widen(text).c_str()));
}

void RecorderWindow::showBusy(bool busy) {
  m_panel.setFileName(busy ? sys::fileNameOf(m_session->currentPath()) : "");
  EnableWindow(m_formatList, !busy);
}

void RecorderWindow::closeProgram() { PostMessageW(handle(), WM_COMMAND, ID_EXIT, 0); }

void RecorderWindow::recordingDone(const std::string& path) {
  refreshFormat();
  if (m_transmission) m_transmission->queue(path);
  if (m_recordingsList && m_settings->launchPlayWhenStop()) m_recordingsList->show(handle(), path);
}

void RecorderWindow::toggleRecordingsList() {
  if (!m_recordingsList) return;
  if (m_recordingsList->visible())
    m_recordingsList->hide();
  else
    m_recordingsList->show(handle());
  updateMenuChecks();
}

}  // namespace recorder
