#pragma once
// The "Record" page: the input device, voice activation, the maximum length
// of one recording and what happens when a recording stops.

#include "recorder/options/option_page.h"

namespace recorder {

class RecordPage : public OptionPage {
 public:
  static constexpr int kDevice = 101, kVoiceActivate = 102, kVoiceLevel = 103, kVoiceLevelText = 104,
                       kCheckMaxTime = 105, kMaxTime = 106, kStop = 107, kCreateNew = 108, kLaunchPlay = 109;
  RecordPage(RecorderSettings& settings, const OptionsContext& context);

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool leave() override;
  void apply() override;

 private:
  int voiceLevel() const;
  void showVoiceLevel();
  void enableFields();

  RecorderSettings& m_settings;
};

}  // namespace recorder
