#include "recorder/options/record_page.h"

#include <commctrl.h>

#include <algorithm>

#include "devices/wave_in_device.h"

namespace recorder {

namespace {

// The trigger levels the slider offers, in dB below full scale.
constexpr int kLowestLevel = -60;

}  // namespace

RecordPage::RecordPage(RecorderSettings& settings, const OptionsContext& context)
    : OptionPage(layout("Record")
                     .text(-1, "Sound Record Device:", 8, 10, 80, 10)
                     .comboBox(kDevice, 90, 8, 160, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
                     .groupBox(-1, "Voice activation", 8, 28, 244, 42)
                     .checkBox(kVoiceActivate, "Voice Activate Level", 16, 42, 90, 10)
                     .control(TRACKBAR_CLASSW, kVoiceLevel, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_NOTICKS, 0,
                              108, 40, 100, 14)
                     .text(kVoiceLevelText, "", 212, 42, 36, 10)
                     .groupBox(-1, "Maximum recording time", 8, 76, 244, 70)
                     .checkBox(kCheckMaxTime, "Limit maximum recording time (h:mm:ss)", 16, 90, 150, 10)
                     .edit(kMaxTime, "", 170, 88, 60, 12)
                     .radio(kStop, "Stop recording", 24, 108, 200, 10, true)
                     .radio(kCreateNew, "Create new recording and continue", 24, 124, 200, 10, false)
                     .checkBox(kLaunchPlay, "Launch Play List when stop recording", 8, 156, 200, 10),
                 context),
      m_settings(settings) {}

bool RecordPage::onInit() {
  std::vector<std::string> names = makeSystemWaveInDevice()->deviceNames();
  for (const auto& name : names) addComboItem(kDevice, name);
  setComboSelection(kDevice, std::clamp(m_settings.recordDevice(), 0, std::max(0, static_cast<int>(names.size()) - 1)));
  setCheck(kVoiceActivate, m_settings.voiceActivate());
  sendItem(kVoiceLevel, TBM_SETRANGE, TRUE, MAKELPARAM(0, -kLowestLevel));
  sendItem(kVoiceLevel, TBM_SETPOS, TRUE, -std::clamp(m_settings.voiceActivateLevel(), kLowestLevel, 0));
  showVoiceLevel();
  setCheck(kCheckMaxTime, m_settings.checkMaxTime());
  setText(kMaxTime, m_settings.maxTime());
  setCheck(m_settings.stopReachMaxTime() ? kStop : kCreateNew, true);
  setCheck(kLaunchPlay, m_settings.launchPlayWhenStop());
  enableFields();
  return true;
}

void RecordPage::onCommand(int id, int code) {
  if (id == kVoiceActivate || id == kCheckMaxTime) enableFields();
}

INT_PTR RecordPage::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == item(kVoiceLevel)) {
    showVoiceLevel();
    return TRUE;
  }
  return OptionPage::handleMessage(message, wParam, lParam);
}

int RecordPage::voiceLevel() const { return -static_cast<int>(sendItem(kVoiceLevel, TBM_GETPOS)); }

void RecordPage::showVoiceLevel() { setText(kVoiceLevelText, std::to_string(voiceLevel()) + " dB"); }

void RecordPage::enableFields() {
  enable(kVoiceLevel, isChecked(kVoiceActivate));
  const bool limited = isChecked(kCheckMaxTime);
  for (int id : {kMaxTime, kStop, kCreateNew}) enable(id, limited);
}

bool RecordPage::leave() {
  if (!isChecked(kCheckMaxTime)) return true;
  return !refuse(checkMaxTimeField(getText(kMaxTime)), kMaxTime);
}

void RecordPage::apply() {
  m_settings.setRecordDevice(std::max(0, comboSelection(kDevice)));
  m_settings.setVoiceActivate(isChecked(kVoiceActivate));
  m_settings.setVoiceActivateLevel(voiceLevel());
  m_settings.setCheckMaxTime(isChecked(kCheckMaxTime));
  if (isChecked(kCheckMaxTime)) m_settings.setMaxTime(getText(kMaxTime));
  m_settings.setStopReachMaxTime(isChecked(kStop));
  m_settings.setLaunchPlayWhenStop(isChecked(kLaunchPlay));
}

}  // namespace recorder
