#include "editor/dialogs/record_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "devices/devices.h"
#include "devices/record_mixer.h"
#include "devices/voice_activated_capture.h"
#include "editor/dialogs/record_advanced_dialog.h"
#include "editor/display/wave_display.h"
#include "editor/model/record_settings.h"
#include "editor/model/time_text.h"
#include "editor/model/recording_take.h"
#include "ui/db_edit.h"
#include "ui/dialog.h"
#include "ui/level_display.h"
#include "ui/notifier_window.h"
#include "ui/text.h"

namespace {

constexpr int kRecordDevice = 100, kInput = 101, kRecordVolume = 102, kTime = 103, kMeter = 104, kWave = 105,
              kScroll = 106, kPlayDevice = 107, kPlayVolume = 108, kAdvanced = 109, kRecord = 110,
              kRecordNext = 111, kRetake = 112, kRestart = 113, kRewind = 114, kToStart = 115, kForward = 116,
              kToEnd = 117, kMixer = 119, kFileName = 120, kStatus = 121;
// Where the waveform control goes, in dialog units.
constexpr RECT kWaveArea{8, 104, 352, 178};
// The recording shows 30 s at a time; the scroll bar moves through it.
constexpr int64_t kViewSpanMs = 30000;
constexpr UINT kStartMessage = WM_APP + 1;

struct Transport {
  int id;
  const char* label;
  const wchar_t* tip;
};
constexpr Transport kTransport[] = {
    {kRecord, "Record", L"Record (F8)"},        {kRecordNext, "Next", L"Record Next (F5)"},
    {kRetake, "Re-Take", L"Re-Take (F7)"},      {kRestart, "Restart", L"Restart (F6)"},
    {kRewind, "<<", L"Rewind (<-)"},            {kToStart, "|<", L"Go to Start (Home)"},
    {kForward, ">>", L"Forward (->)"},          {kToEnd, ">|", L"Go to End (End)"},
};

ui::DialogTemplate recordTemplate(const std::string& fileName) {
  const DWORD dbEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  ui::DialogTemplate t("Record Control", 360, 232);
  t.text(-1, "File:", 8, 8, 20, 10)
      .text(kFileName, fileName, 30, 8, 320, 10, SS_NOPREFIX | SS_ENDELLIPSIS)
      .groupBox(-1, "Recording", 8, 22, 220, 62)
      .text(-1, "Device:", 14, 36, 40, 10)
      .comboBox(kRecordDevice, 56, 34, 166, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
      .text(-1, "Input:", 14, 52, 40, 10)
      .comboBox(kInput, 56, 50, 106, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
      .text(-1, "Volume:", 166, 52, 28, 10)
      .control(ui::kDbEditClass, kRecordVolume, "", dbEditStyle, 0, 196, 50, 26, 12)
      .button(kMixer, "Open Windows Record Mixer", 14, 66, 110, 14)
      .button(kAdvanced, "Advanced Record Options", 128, 66, 94, 14)
      .groupBox(-1, "Playback", 234, 22, 118, 62)
      .text(-1, "Device:", 240, 36, 30, 10)
      .comboBox(kPlayDevice, 240, 46, 106, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
      .text(-1, "Volume (dB):", 240, 66, 50, 10)
      .control(ui::kDbEditClass, kPlayVolume, "", dbEditStyle, 0, 292, 64, 30, 12)
      .text(kStatus, "", 8, 90, 200, 10)
      .text(kTime, "0:00:00.00", 272, 90, 80, 10, SS_RIGHT)
      .control(L"SCROLLBAR", kScroll, "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 8, 180, 344, 9);
  int x = 8;
  for (const Transport& button : kTransport) {
    t.button(button.id, button.label, x, 194, 38, 14);
    x += 40;
  }
  t.control(ui::kLevelDisplayClass, kMeter, "", WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE, 8, 212, 230, 16)
      .defaultButton(IDOK, "OK", 246, 212, 50, 14)
      .button(IDCANCEL, "Cancel", 302, 212, 50, 14);
  return t;
}

class RecordDialog final : public ui::Dialog, private CaptureListener {
 public:
  RecordDialog(sys::SettingsStore& store, const RecordRequest& request)
      : ui::Dialog(recordTemplate(request.fileName)),
        m_store(store),
        m_request(request),
        m_settings(RecordSettings::load(store)),
        m_recording(request.sampleRate, request.channels) {}

  ~RecordDialog() override {
    // The capture posts to the notifier: it goes first.
    m_capture.reset();
    m_notifier.reset();
  }

  const SoundBuffer& recording() const { return m_recording; }

 protected:
  bool onInit() override {
    m_notifier = std::make_unique<ui::NotifierWindow>([this] {
      if (m_capture) m_capture->onNotify();
    });
    m_capture = std::make_unique<VoiceActivatedCapture>(makeSystemWaveInDevice,
                                                        [notifier = m_notifier.get()] { notifier->post(); });
    m_capture->set_listener(this, nullptr);
    m_mixer = makeSystemRecordMixer();

    fillCombo(kRecordDevice, m_capture->deviceNames(), m_settings.device);
    fillCombo(kPlayDevice, makeSystemWaveOutDevice()->deviceNames(), m_settings.playerDevice);
    ui::setDbRange(item(kRecordVolume), kVolumeFloorDb, 10);
    ui::setDbRange(item(kPlayVolume), kVolumeFloorDb, 10);
    ui::setDbValue(item(kPlayVolume), m_settings.playerVolumeDb);
    openMixer();

    RECT area = kWaveArea;
    MapDialogRect(handle(), &area);
    m_display = WaveDisplay::create(handle(), kWave, area, kRecordingDisplayClass);
    if (m_display) m_display->setSound(m_recording);
    addToolTips();
    installKeyHook();
    showRecording();
    updateButtons();
    if (m_settings.autostart) PostMessageW(handle(), kStartMessage, 0, 0);
    return true;
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case kStartMessage:
        startTake();
        return TRUE;
      case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == item(kScroll)) onScroll(LOWORD(wParam));
        return TRUE;
      case WM_DESTROY:
        removeKeyHook();
        break;
    }
    return ui::Dialog::handleMessage(message, wParam, lParam);
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case kRecord: return running() ? finishTake() : startTake();
      case kRecordNext:
        finishTake();
        return startTake();
      case kRetake: return retake();
      case kRestart: return restartAll();
      case kRewind: return moveCursor(cursor() - m_request.sampleRate);
      case kForward: return moveCursor(cursor() + m_request.sampleRate);
      case kToStart: return moveCursor(0);
      case kToEnd: return moveCursor(m_recording.totalFrames());
      case kRecordDevice:
        if (code == CBN_SELCHANGE) changeDevice();
        return;
      case kInput:
        if (code == CBN_SELCHANGE) changeInput();
        return;
      case kRecordVolume:
        if (code == EN_KILLFOCUS) applyRecordVolume();
        return;
      case kPlayDevice:
        if (code == CBN_SELCHANGE) m_settings.playerDevice = std::max(comboSelection(kPlayDevice), 0);
        return;
      case kPlayVolume:
        if (code == EN_KILLFOCUS) m_settings.playerVolumeDb = ui::dbValue(item(kPlayVolume)).value_or(0);
        return;
      case kMixer: return openSystemMixer();
      case kAdvanced:
        if (askRecordAdvanced(handle(), m_settings)) m_settings.save(m_store);
        return;
      case IDOK:
        finishTake();
        applyRecordVolume();
        m_settings.playerVolumeDb = ui::dbValue(item(kPlayVolume)).value_or(m_settings.playerVolumeDb);
        m_settings.save(m_store);
        endDialog(IDOK);
        return;
      case IDCANCEL:
        m_capture->stop();
        m_take.reset();
        endDialog(IDCANCEL);
        return;
    }
  }

 private:
  // CaptureListener.
  void started(void*) override { updateButtons(); }
  void stopped(void*) override {
    collectTake();
    updateButtons();
  }
  void position(int64_t milliseconds, void*) override {
    setText(kTime, formatTimeHundredths(recordedMs() + milliseconds));
    // The take's finished pieces join the picture as they come.
    if (m_take && m_take->soundSoFar().totalFrames() != m_shownTakeFrames) showRecording();
  }
  void news(const CaptureNews& news, void*) override {
    ui::setDisplayedLevels(item(kMeter), news.levels.levels.data(), news.levels.channels);
    if (news.stateChanged) showState(news.state);
  }

  bool running() const { return m_capture && m_capture->running(); }
  int64_t recordedMs() const { return framesToMs(m_recording.totalFrames(), m_request.sampleRate); }

  void fillCombo(int id, const std::vector<std::string>& names, int selected) {
    sendItem(id, CB_RESETCONTENT);
    for (const auto& name : names) addComboItem(id, name);
    setComboSelection(id, selected >= 0 && selected < static_cast<int>(names.size()) ? selected : 0);
  }

  void startTake() {
    if (running()) return;
    m_take = std::make_unique<RecordingTake>(m_request.sampleRate, m_request.channels);
    m_capture->setDevice(static_cast<uint8_t>(std::clamp(m_settings.device, 0, 255)),
                         static_cast<uint8_t>(std::clamp(m_settings.channel, 0, 255)));
    if (!m_capture->start(m_take->releaseSink(), 0, m_settings.triggerLevel(), m_settings.hangTimeMs())) {
      m_take.reset();
      updateButtons();
      ui::showMessage(handle(),
                      "The recording device could not be opened. Please choose another Recording Device, or "
                      "check that no other program is recording from it.",
                      "Record Control", MB_OK | MB_ICONINFORMATION);
      SetFocus(item(kRecordDevice));
      return;
    }
    m_takeStarts.push_back(m_recording.totalFrames());
    showState(m_capture->state());
    showRecording();
  }

  void finishTake() {
    if (running()) m_capture->stop();  // calls stopped, which collects the take
    collectTake();
  }

  // Adds a committed take to the recording.
  void collectTake() {
    if (!m_take || !m_take->committed()) return;
    if (m_take->failed()) {
      ui::showMessage(handle(), "The recording could not be written. Check the free space of the working folder's drive.",
                      "Error", MB_OK | MB_ICONERROR);
      if (!m_takeStarts.empty()) m_takeStarts.pop_back();
    } else if (!m_take->sound().empty()) {
      m_recording.insertBuffer(m_recording.totalFrames(), m_take->sound());
    } else if (!m_takeStarts.empty()) {
      m_takeStarts.pop_back();  // nothing recorded: no take
    }
    m_take.reset();
    showRecording();
  }

  void retake() {
    if (running()) {
      m_capture->restart();
      return;
    }
    if (!m_takeStarts.empty()) {
      m_recording.truncateAt(m_takeStarts.back());
      m_takeStarts.pop_back();
    }
    showRecording();
    startTake();
  }

  void restartAll() {
    m_recording.clear();
    m_takeStarts.clear();
    if (running()) {
      m_takeStarts.push_back(0);
      m_capture->restart();
    } else {
      startTake();
    }
    showRecording();
  }

  void showState(int32_t state) {
    setText(kStatus, state == VoiceActivatedCapture::kRecording ? "Recording..."
                     : state == VoiceActivatedCapture::kWaiting ? "Waiting for sound..."
                                                                : "Stopped");
  }

  void showRecording() {
    if (!running()) {
      setText(kTime, formatTimeHundredths(recordedMs()));
      showState(VoiceActivatedCapture::kStopped);
      ui::clearDisplayedLevels(item(kMeter));
    }
    // The takes so far and what the one being recorded has finished.
    SoundBuffer shown = m_recording;
    m_shownTakeFrames = 0;
    if (m_take && !m_take->committed()) {
      SoundBuffer growing = m_take->soundSoFar();
      m_shownTakeFrames = growing.totalFrames();
      shown.insertBuffer(shown.totalFrames(), growing);
    }
    const int64_t totalMs = framesToMs(shown.totalFrames(), m_request.sampleRate);
    const int64_t lastStartMs = std::max<int64_t>(0, totalMs - kViewSpanMs);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = static_cast<int>(totalMs / 1000 + 1);
    info.nPage = static_cast<UINT>(kViewSpanMs / 1000);
    info.nPos = static_cast<int>(lastStartMs / 1000);
    SetScrollInfo(item(kScroll), SB_CTL, &info, TRUE);
    m_viewStartMs = lastStartMs;
    if (!m_display) return;
    m_display->setSound(shown);
    showView();
    m_display->setCursor(std::min<int64_t>(cursor(), shown.totalFrames()));
  }

  void showView() {
    if (m_display) m_display->setRange(msToFrames(m_viewStartMs, m_request.sampleRate),
                                       msToFrames(kViewSpanMs, m_request.sampleRate));
  }

  void onScroll(int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(item(kScroll), SB_CTL, &info);
    int pos = info.nPos;
    switch (request) {
      case SB_LINELEFT: pos -= 1; break;
      case SB_LINERIGHT: pos += 1; break;
      case SB_PAGELEFT: pos -= static_cast<int>(info.nPage); break;
      case SB_PAGERIGHT: pos += static_cast<int>(info.nPage); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: pos = info.nTrackPos; break;
      default: return;
    }
    pos = std::clamp(pos, info.nMin, std::max(info.nMin, info.nMax - static_cast<int>(info.nPage) + 1));
    SetScrollPos(item(kScroll), SB_CTL, pos, TRUE);
    m_viewStartMs = static_cast<int64_t>(pos) * 1000;
    showView();
  }

  int64_t cursor() const { return m_display ? std::max<int64_t>(m_display->cursor(), 0) : 0; }
  void moveCursor(int64_t frame) {
    if (m_display) m_display->setCursor(std::clamp<int64_t>(frame, 0, m_recording.totalFrames()));
  }

  void openMixer() {
    sendItem(kInput, CB_RESETCONTENT);
    m_mixerOpen = m_mixer->open(static_cast<uint32_t>(m_settings.device));
    std::vector<std::string> lines = m_mixerOpen ? m_mixer->lineNames() : std::vector<std::string>{};
    for (const auto& line : lines) addComboItem(kInput, line);
    int chosen = m_settings.channel < static_cast<int>(lines.size()) ? m_settings.channel
                                                                     : m_mixer->selectedLine().value_or(0);
    if (!lines.empty()) {
      setComboSelection(kInput, chosen);
      m_mixer->selectLine(chosen);
    }
    enable(kInput, !lines.empty());
    showRecordVolume();
  }

  void showRecordVolume() {
    int line = comboSelection(kInput);
    std::optional<int> db = m_mixerOpen && line >= 0 ? m_mixer->lineVolumeDb(line) : std::nullopt;
    ui::setDbValue(item(kRecordVolume), db.value_or(m_settings.volume));
    SendMessageW(item(kRecordVolume), EM_SETMODIFY, FALSE, 0);
    enable(kRecordVolume, db.has_value());
  }

  void changeDevice() {
    m_settings.device = std::max(comboSelection(kRecordDevice), 0);
    m_settings.channel = 0;
    openMixer();
    // A take goes on on the new device.
    if (running()) {
      finishTake();
      startTake();
    }
  }

  void changeInput() {
    int line = comboSelection(kInput);
    if (line < 0) return;
    m_settings.channel = line;
    if (m_mixerOpen) m_mixer->selectLine(line);
    showRecordVolume();
  }

  // Sets the line's volume to what the user typed; a value only shown is
  // never written back (a mixer that reads wrong would be turned down).
  void applyRecordVolume() {
    if (!SendMessageW(item(kRecordVolume), EM_GETMODIFY, 0, 0)) return;
    SendMessageW(item(kRecordVolume), EM_SETMODIFY, FALSE, 0);
    std::optional<int> db = ui::dbValue(item(kRecordVolume));
    int line = comboSelection(kInput);
    if (!db || line < 0) return;
    m_settings.volume = *db;
    if (m_mixerOpen) m_mixer->setLineVolumeDb(line, *db);
  }

  void openSystemMixer() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&version);
#pragma GCC diagnostic pop
    bool old = version.dwMajorVersion < 6;
    ShellExecuteW(handle(), nullptr, old ? L"sndvol32.exe" : L"control.exe", old ? L"/rec" : L"mmsys.cpl", nullptr,
                  SW_SHOWNORMAL);
  }

  void updateButtons() {
    bool recording = running();
    SetDlgItemTextW(handle(), kRecord, recording ? L"Stop" : L"Record");
    enable(kRetake, recording || !m_takeStarts.empty());
  }

  void addToolTips() {
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    auto add = [&](int id, const wchar_t* tip) {
      TOOLINFOW info{};
      info.cbSize = TTTOOLINFOW_V1_SIZE;
      info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      info.hwnd = handle();
      info.uId = reinterpret_cast<UINT_PTR>(item(id));
      info.lpszText = const_cast<wchar_t*>(tip);
      SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    };
    for (const Transport& button : kTransport) add(button.id, button.tip);
    add(kRecordDevice, L"Record Device");
    add(kInput, L"Record Input Channel");
    add(kRecordVolume, L"Record Volume");
  }

  // The dialog's keys, taken from its modal loop before the controls see them.
  static LRESULT CALLBACK keyHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && s_active && message->message == WM_KEYDOWN &&
        GetAncestor(message->hwnd, GA_ROOT) == s_active->handle()) {
      if (int command = s_active->commandOfKey(message->hwnd, static_cast<UINT>(message->wParam))) {
        PostMessageW(s_active->handle(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        return TRUE;
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  int commandOfKey(HWND target, UINT key) const {
    switch (key) {
      case VK_F8: return kRecord;
      case VK_F5: return kRecordNext;
      case VK_F7: return kRetake;
      case VK_F6: return kRestart;
    }
    // Arrows, Home and End stay with the lists and edits.
    wchar_t className[32] = {};
    GetClassNameW(target, className, 32);
    if (lstrcmpiW(className, L"Button") != 0 && target != (m_display ? m_display->window() : nullptr)) return 0;
    switch (key) {
      case VK_LEFT: return kRewind;
      case VK_HOME: return kToStart;
      case VK_RIGHT: return kForward;
      case VK_END: return kToEnd;
    }
    return 0;
  }

  void installKeyHook() {
    s_active = this;
    m_hook = SetWindowsHookExW(WH_MSGFILTER, keyHook, nullptr, GetCurrentThreadId());
  }
  void removeKeyHook() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
    if (s_active == this) s_active = nullptr;
  }

  static inline RecordDialog* s_active = nullptr;

  sys::SettingsStore& m_store;
  RecordRequest m_request;
  RecordSettings m_settings;
  SoundBuffer m_recording;
  std::vector<int32_t> m_takeStarts;  // frame where each take of the recording begins
  std::unique_ptr<RecordingTake> m_take;
  // The notifier is made first and goes last: the capture thread posts to it.
  std::unique_ptr<ui::NotifierWindow> m_notifier;
  std::unique_ptr<VoiceActivatedCapture> m_capture;
  std::unique_ptr<RecordMixer> m_mixer;
  bool m_mixerOpen = false;
  std::unique_ptr<WaveDisplay> m_display;
  HWND m_tooltip = nullptr;
  HHOOK m_hook = nullptr;
  int64_t m_viewStartMs = 0;
  int32_t m_shownTakeFrames = 0;  // of the take being recorded, in the picture
};

}  // namespace

bool runRecordDialog(HWND owner, sys::SettingsStore& store, const RecordRequest& request, SoundBuffer& recording) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  ui::registerLevelDisplay(instance);
  ui::registerDbEdit(instance);
  RecordDialog dialog(store, request);
  if (dialog.runModal(owner) != IDOK || dialog.recording().empty()) return false;
  recording = dialog.recording();
  return true;
}
