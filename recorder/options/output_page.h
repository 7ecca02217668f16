#pragma once
// The "Output" page: the output folder, how recordings are named, and the
// output format with its settings.

#include "recorder/options/option_page.h"

namespace recorder {

class OutputPage : public OptionPage {
 public:
  static constexpr int kFolder = 101, kBrowse = 102, kPrompt = 103, kUsePattern = 104, kPattern = 105,
                       kViewSample = 106, kHelp = 107, kFormat = 108, kFormatSettings = 109;
  OutputPage(RecorderSettings& settings, const OptionsContext& context, OptionsOutcome& outcome);

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  bool leave() override;
  void apply() override;

 private:
  void enableFields();
  void browse();
  void viewSample();
  bool mp3EncoderReady();

  RecorderSettings& m_settings;
  OptionsOutcome& m_outcome;
  bool m_folderChanged = false;
};

}  // namespace recorder
