#pragma once
// The "Transmit" page: the ways a finished recording is passed on (a copy
// into a folder, e-mail, FTP, a program to run) and their settings.

#include "recorder/options/option_page.h"

namespace recorder {

class TransmitPage : public OptionPage {
 public:
  static constexpr int kSendFolder = 101, kFolder = 102, kBrowseFolder = 103, kSendEmail = 104, kEmailTo = 105,
                       kSendFtp = 106, kServer = 107, kUserName = 108, kPassword = 109, kDirectory = 110,
                       kSendRun = 111, kRunExe = 112, kBrowseExe = 113, kEmailSettings = 114;
  TransmitPage(RecorderSettings& settings, const OptionsContext& context);

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  bool leave() override;
  void apply() override;

 private:
  void enableFields();

  RecorderSettings& m_settings;
  bool m_passwordWasClear = false;
};

}  // namespace recorder
