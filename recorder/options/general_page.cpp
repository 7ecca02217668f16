#include "recorder/options/general_page.h"

#include "recorder/options/run_at_logon.h"

namespace recorder {

GeneralPage::GeneralPage(RecorderSettings& settings, const OptionsContext& context)
    : OptionPage(layout("General")
                     .checkBox(kRecordTone, "Sound a tone when recording starts", 8, 10, 240, 10)
                     .checkBox(kStoppedTone, "Sound a tone when recording pauses or stops", 8, 26, 240, 10)
                     .checkBox(kIntervalTone, "Sound record tone every (secs)", 8, 42, 150, 10)
                     .edit(kInterval, "", 170, 40, 40, 12, ES_NUMBER)
                     .text(-1, "Warn when hard drive space is low (below MB)", 8, 62, 160, 10)
                     .edit(kWarnSpace, "", 170, 60, 40, 12, ES_NUMBER)
                     .checkBox(kRunAtLogon, "Run Rezara and start recording when computer starts", 8, 84, 240, 10)
                     .checkBox(kRecordWhenRun, "Start recording automatically when Rezara runs", 8, 100, 240, 10),
                 context),
      m_settings(settings) {}

bool GeneralPage::onInit() {
  setCheck(kRecordTone, m_settings.recordTone());
  setCheck(kStoppedTone, m_settings.stoppedTone());
  setCheck(kIntervalTone, m_settings.intervalTone());
  setInt(kInterval, m_settings.intervalSecs());
  setInt(kWarnSpace, m_settings.warnSpaceBelow());
  setCheck(kRunAtLogon, runsAtLogon());
  setCheck(kRecordWhenRun, m_settings.recordWhenRun());
  enable(kInterval, isChecked(kIntervalTone));
  return true;
}

void GeneralPage::onCommand(int id, int code) {
  if (id == kIntervalTone) enable(kInterval, isChecked(kIntervalTone));
}

bool GeneralPage::leave() {
  if (isChecked(kIntervalTone) && refuse(checkIntervalField(getText(kInterval), m_intervalSecs), kInterval))
    return false;
  if (!getInt(kWarnSpace))
    return !refuse(OptionMessage{"Please enter the free disk space (in MB) to warn below.", "Invalid Space"},
                   kWarnSpace);
  return true;
}

void GeneralPage::apply() {
  m_settings.setRecordTone(isChecked(kRecordTone));
  m_settings.setStoppedTone(isChecked(kStoppedTone));
  m_settings.setIntervalTone(isChecked(kIntervalTone));
  if (isChecked(kIntervalTone)) m_settings.setIntervalSecs(m_intervalSecs);
  if (auto space = getInt(kWarnSpace)) m_settings.setWarnSpaceBelow(*space);
  if (isChecked(kRunAtLogon) != runsAtLogon()) setRunAtLogon(isChecked(kRunAtLogon), m_context.programPath);
  m_settings.setRecordWhenRun(isChecked(kRecordWhenRun));
}

}  // namespace recorder
