#include "editor/dialogs/edit_dialogs.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "editor/dialogs/numbers_dialog.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr const char* kStored = "StoredValues";
constexpr DWORD kStyle = ui::DialogTemplate::kDefaultStyle | DS_CENTER;

long long stored(sys::SettingsStore& store, const char* name, long long fallback) {
  return store.readNumber(kStored, name, fallback);
}

constexpr int kVolume = 101, kPan = 102, kIncrease = 103, kInsert = 104, kFade = 105, kFadeTime = 106;

class PasteMixDialog : public ui::Dialog {
 public:
  PasteMixDialog(const char* title, MixSettings& settings)
      : ui::Dialog(ui::DialogTemplate(title, 220, 150, kStyle)
                       .text(-1, "&Mix Volume (%)", 8, 10, 90, 10)
                       .edit(kVolume, "", 110, 8, 50, 12, ES_NUMBER)
                       .text(-1, "&Stereo Pan (L - R)", 8, 28, 90, 10)
                       .control(TRACKBAR_CLASSW, kPan, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ, 0, 104,
                                26, 108, 16)
                       .groupBox(-1, "If mi&x audio is longer than selection:", 8, 48, 204, 52)
                       .radio(kIncrease, "Increase se&lection", 16, 60, 180, 10, true)
                       .radio(kInsert, "&Insert silence", 16, 72, 180, 10, false)
                       .radio(kFade, "&Fade out mix", 16, 84, 180, 10, false)
                       .text(-1, "Fade &out time:", 8, 108, 90, 10)
                       .edit(kFadeTime, "", 110, 106, 50, 12, ES_NUMBER)
                       .text(-1, "ms", 164, 108, 20, 10)
                       .defaultButton(IDOK, "OK", 106, 128, 50, 14)
                       .button(IDCANCEL, "Cancel", 162, 128, 50, 14)),
        m_title(title),
        m_settings(settings) {}

 protected:
  bool onInit() override {
    setInt(kVolume, m_settings.volumePercent);
    sendItem(kPan, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    sendItem(kPan, TBM_SETPOS, TRUE, m_settings.pan);
    int mode = static_cast<int>(m_settings.longer);
    setCheck(mode == 1 ? kIncrease : mode == 2 ? kFade : kInsert, true);
    setInt(kFadeTime, m_settings.fadeOutMs);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      std::optional<int> volume = getInt(kVolume), fade = getInt(kFadeTime);
      if (!volume || *volume < 0 || *volume > 1000 || !fade || *fade < 0 || *fade > 600000) {
        ui::showMessage(handle(), "Please enter a volume from 0 to 1000 % and a fade-out time from 0 to 600000 ms.",
                        m_title, MB_OK | MB_ICONINFORMATION);
        return;
      }
      m_settings.volumePercent = *volume;
      m_settings.fadeOutMs = *fade;
      m_settings.pan = static_cast<int32_t>(sendItem(kPan, TBM_GETPOS));
      m_settings.longer = isChecked(kIncrease) ? LongerMix::IncreaseSelection
                          : isChecked(kFade)   ? LongerMix::FadeOut
                                               : LongerMix::InsertSilence;
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  std::string m_title;
  MixSettings& m_settings;
};

}  // namespace

bool askInsertSilence(HWND owner, sys::SettingsStore& store, int64_t& milliseconds) {
  NumbersDialog dialog("Insert Silence", {{101, "Length of silence (ms):", 1, 86400000, stored(store, "SilenceTimes", 0)}});
  if (dialog.runModal(owner) != IDOK) return false;
  milliseconds = dialog.fields[0].value;
  store.writeNumber(kStored, "SilenceTimes", milliseconds);
  return true;
}

bool askRepeatLoop(HWND owner, sys::SettingsStore& store, int32_t& times) {
  NumbersDialog dialog("Repeat Loop", {{101, "Number of extra copies:", 1, 100000, stored(store, "RepeatNumTimes", 1)}});
  if (dialog.runModal(owner) != IDOK) return false;
  times = static_cast<int32_t>(dialog.fields[0].value);
  store.writeNumber(kStored, "RepeatNumTimes", times);
  return true;
}

bool askPasteMix(HWND owner, sys::SettingsStore& store, const char* title, MixSettings& settings) {
  settings.volumePercent = static_cast<int32_t>(stored(store, "PasteMixVolume", 100));
  settings.longer = static_cast<LongerMix>(std::clamp<long long>(stored(store, "LongerSelection", 0), 0, 2));
  settings.fadeOutMs = static_cast<int32_t>(stored(store, "FadeOutTime", 250));
  settings.pan = 50;
  PasteMixDialog dialog(title, settings);
  if (dialog.runModal(owner) != IDOK) return false;
  store.writeNumber(kStored, "PasteMixVolume", settings.volumePercent);
  store.writeNumber(kStored, "LongerSelection", static_cast<int>(settings.longer));
  store.writeNumber(kStored, "FadeOutTime", settings.fadeOutMs);
  return true;
}

bool askAutoSplit(HWND owner, sys::SettingsStore& store, AutoSplitSettings& settings) {
  NumbersDialog dialog("Auto Split File",
                       {{101, "Silence level (dB, -120 to 0):", -120, 0, stored(store, "AutoSplitLevel", -40)},
                        {102, "Shortest silence (ms):", 10, 600000, stored(store, "AutoSplitSilence", 1000)},
                        {103, "Shortest part (ms):", 0, 3600000, stored(store, "AutoSplitMinPart", 500)}});
  if (dialog.runModal(owner) != IDOK) return false;
  settings.silenceLevelDb = static_cast<int32_t>(dialog.fields[0].value);
  settings.minSilenceMs = static_cast<int32_t>(dialog.fields[1].value);
  settings.minPartMs = static_cast<int32_t>(dialog.fields[2].value);
  store.writeNumber(kStored, "AutoSplitLevel", settings.silenceLevelDb);
  store.writeNumber(kStored, "AutoSplitSilence", settings.minSilenceMs);
  store.writeNumber(kStored, "AutoSplitMinPart", settings.minPartMs);
  return true;
}
