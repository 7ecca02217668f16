#pragma once
// The "General" page: the tones, the low-disk warning and starting with the
// computer or the program.

#include "recorder/options/option_page.h"

namespace recorder {

class GeneralPage : public OptionPage {
 public:
  static constexpr int kRecordTone = 101, kStoppedTone = 102, kIntervalTone = 103, kInterval = 104,
                       kWarnSpace = 105, kRunAtLogon = 106, kRecordWhenRun = 107;
  GeneralPage(RecorderSettings& settings, const OptionsContext& context);

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  bool leave() override;
  void apply() override;

 private:
  RecorderSettings& m_settings;
  int m_intervalSecs = 30;
};

}  // namespace recorder
