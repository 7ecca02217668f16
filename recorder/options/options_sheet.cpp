#include "recorder/options/options_sheet.h"

#include <commctrl.h>

#include "formats/wav_codec_file.h"
#include "recorder/model/recorder_format.h"
#include "ui/encoder_settings_dialogs.h"
#include "ui/wave_format_chooser.h"

namespace recorder {

OptionsSheet::OptionsSheet(RecorderSettings& settings, const OptionsContext& context, OptionsOutcome& outcome)
    : m_record(settings, context),
      m_output(settings, context, outcome),
      m_transmit(settings, context),
      m_general(settings, context),
      m_keys(settings, context, outcome) {}

INT_PTR OptionsSheet::show(HWND owner, OptionsPage first, bool modeless) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_HOTKEY_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  PROPSHEETPAGEW pages[] = {m_record.propertyPage(), m_output.propertyPage(), m_transmit.propertyPage(),
                            m_general.propertyPage(), m_keys.propertyPage()};
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP | (modeless ? PSH_MODELESS : 0);
  header.hwndParent = owner;
  header.pszCaption = L"Options";
  header.nPages = static_cast<UINT>(std::size(pages));
  header.nStartPage = static_cast<UINT>(first);
  header.ppsp = pages;
  return PropertySheetW(&header);
}

bool OptionsSheet::run(HWND owner, OptionsPage first) { return show(owner, first, false) > 0; }

HWND OptionsSheet::create(HWND owner, OptionsPage first) {
  INT_PTR sheet = show(owner, first, true);
  return sheet > 0 ? reinterpret_cast<HWND>(sheet) : nullptr;
}

bool showOptions(HWND owner, OptionsPage first, RecorderSettings& settings, const OptionsContext& context,
                 OptionsOutcome& outcome) {
  OptionsSheet sheet(settings, context, outcome);
  return sheet.run(owner, first);
}

bool showFormatSettings(HWND owner, int format, RecorderSettings& settings, const OptionsContext& context) {
  if (format == kWav)
    return ui::chooseWaveFormat(owner, 0, kDefaultRecordRate, context.dataFolder);
  if (format == kMp3) {
    Mp3EncoderSettings mp3 = settings.mp3Settings();
    if (!editMp3EncoderSettings(owner, mp3)) return false;
    settings.setMp3Settings(mp3);
    return true;
  }
  return false;
}

}  // namespace recorder
