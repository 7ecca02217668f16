#pragma once
// The property sheet of the options with its five pages, which live as long
// as the sheet object.

#include "recorder/options/general_page.h"
#include "recorder/options/hot_keys_page.h"
#include "recorder/options/output_page.h"
#include "recorder/options/record_page.h"
#include "recorder/options/transmit_page.h"

namespace recorder {

class OptionsSheet {
 public:
  OptionsSheet(RecorderSettings& settings, const OptionsContext& context, OptionsOutcome& outcome);

  // Modal; true when confirmed.
  bool run(HWND owner, OptionsPage first);
  // Modeless (the caller routes messages through PropSheet_IsDialogMessage
  // and destroys it); null on failure.
  HWND create(HWND owner, OptionsPage first);

 private:
  INT_PTR show(HWND owner, OptionsPage first, bool modeless);

  RecordPage m_record;
  OutputPage m_output;
  TransmitPage m_transmit;
  GeneralPage m_general;
  HotKeysPage m_keys;
};

}  // namespace recorder
